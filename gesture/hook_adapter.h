// The Win32 side of the gesture engine: the low-level mouse hook procedure and
// the operations the engine performs on the system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "gesture/gesture_engine.h"
#include "win32/unique_handle.h"

namespace sonarel {

class VolumeControl;

// SHQueryUserNotificationState, looked up at run time (XP has none). The
// state is an enum of int size.
using QueryNotificationStateFn = HRESULT(WINAPI*)(int* state);

// Facts recorded once at start-up for the eligibility rule.
struct SystemFacts {
    bool is_xp = false;
    QueryNotificationStateFn query_notification_state = nullptr;
    // This program's integrity level; none on XP, which has no levels, and
    // none when it cannot be read (the comparison is then not made).
    std::optional<std::uint32_t> own_integrity;
};

// The facts as Sonarel records them at start-up; shell32 must stay loaded
// while they are used.
SystemFacts RecordSystemFacts(HMODULE shell32);

bool IsTriggerEligible(HWND window, const SystemFacts& facts);

// The integrity level of a process's token, of the process that owns a
// window; nullopt when it cannot be read.
std::optional<std::uint32_t> ProcessIntegrityLevel(HANDLE process);
std::optional<std::uint32_t> WindowIntegrityLevel(HWND window);
Point IndicatorPositionFor(HWND indicator);

class Win32GestureOperations final : public GestureOperations {
public:
    Win32GestureOperations(HWND indicator, VolumeControl& volume, const SystemFacts& facts)
        : indicator_(indicator), volume_(volume), facts_(facts) {}

    bool IsTriggerEligibleAt(Point pt) override;
    Point IndicatorPosition() override { return IndicatorPositionFor(indicator_); }
    bool IsIndicatorVisible() override { return ::IsWindowVisible(indicator_) != FALSE; }
    void MoveIndicator(Point top_left) override;
    void ShowIndicator() override;
    void HideIndicator() override { ::ShowWindow(indicator_, SW_HIDE); }
    void RepaintIndicator() override { ::InvalidateRect(indicator_, nullptr, TRUE); }
    int GetLevel() override;
    void SetLevel(std::uint32_t percent) override;
    bool GetMute() override;
    void SetMute(bool muted) override;
    void Replay(const ReplayRecord& first, const ReplayRecord& second) override;

private:
    HWND indicator_;
    VolumeControl& volume_;
    SystemFacts facts_;
};

// Installs the system-wide hook feeding `engine`; the engine must outlive it.
win32::unique_hhook InstallMouseHook(GestureEngine& engine, HINSTANCE instance);

// The hook's conversion: the event the engine sees for a hook call.
MouseEvent ToMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info);

}  // namespace sonarel
