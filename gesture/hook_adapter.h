// The Win32 side of the gesture engine: the low-level mouse hook procedure and
// the operations the engine performs on the system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "gesture/gesture_engine.h"
#include "gesture/hook_watch.h"

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

// Whether the system skips our hook for input to the foreground window: the
// window of a program of a higher (or unknown) integrity level is in front.
// Asked for the witness's button and wheel events only, and remembered for as
// long as the same window stays in front.
class ForegroundCheck {
public:
    explicit ForegroundCheck(std::optional<std::uint32_t> own_integrity) : own_integrity_(own_integrity) {}
    bool HookBypassed();

private:
    std::optional<std::uint32_t> own_integrity_;
    HWND window_ = nullptr;
    bool bypassed_ = false;
};

// The system-wide low-level mouse hook that feeds the one engine, kept alive:
// raw input on the main window witnesses the mouse, and when the hook missed a
// button or wheel event that the witness saw (the system removes a slow hook
// silently), or after resume, unlock or a display change, it is installed again.
class MouseHook {
public:
    MouseHook(GestureEngine& engine, HINSTANCE instance, std::optional<std::uint32_t> own_integrity);
    ~MouseHook();  // removes the hook
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;

    bool Install();
    // Removes the hook (harmless when already gone), returns the engine to idle
    // and installs the hook again.
    void Reinstall();

    // The witness: raw input and session notifications for `window`.
    void WatchWith(HWND window);
    void StopWatching(HWND window);
    void OnRawInput(HRAWINPUT input);
    // Resume, unlock, a display change: no check can be made, so re-install.
    void OnSystemChange() { Reinstall(); }

#if defined(SONAREL_TEST_SEAMS)
    // Unhooks without telling anyone, as the system removes a slow hook.
    void DropForTest();
#endif

private:
    GestureEngine& engine_;
    HINSTANCE instance_;
    ForegroundCheck foreground_;
    HookWatch watch_;
};

// The hook procedure's work for one event: notes the call for the witness,
// then the engine decides.
Decision HandleHookEvent(GestureEngine& engine, WPARAM message, const MSLLHOOKSTRUCT& info);

// The hook's conversion: the event the engine sees for a hook call.
MouseEvent ToMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info);

// What the witness reports of one raw mouse event at `time`.
WitnessedEvent ToWitnessedEvent(const RAWINPUTHEADER& header, const RAWMOUSE& mouse, DWORD time,
                                ForegroundCheck& foreground);

}  // namespace sonarel
