// The Win32 side of the gesture engine: the low-level mouse hook procedure and
// the operations the engine performs on the system.
#pragma once

#include <windows.h>

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
};

bool IsTriggerEligible(HWND window, const SystemFacts& facts);
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
