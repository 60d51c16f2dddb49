// The system-wide low-level mouse hook that feeds the one engine, kept alive:
// raw input on the main window witnesses the mouse, and when the hook missed a
// button or wheel event that the witness saw (the system removes a slow hook
// silently), or after resume, unlock or a display change, it is installed again.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "gesture/gesture_engine.h"
#include "gesture/hook_watch.h"
#include "gesture/hook_witness_win32.h"

namespace sonarel {

class MouseHook {
public:
    // The witness's one-shot timer on the watched window.
    static constexpr UINT_PTR kJudgementTimer = 0x5301;

    MouseHook(GestureEngine& engine, HINSTANCE instance, std::optional<std::uint32_t> own_integrity);
    ~MouseHook();  // removes the hook
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;

    bool Install();
    // Removes the hook (harmless when already gone), returns the engine to idle
    // and installs the hook again.
    void Reinstall();

    // The witness: raw input, session notifications, desktop switches and the
    // judgement timer for `window`.
    void WatchWith(HWND window);
    void StopWatching(HWND window);
    void OnRawInput(HRAWINPUT input);
    void OnJudgementTimer();
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
    HWND watched_ = nullptr;
    HWINEVENTHOOK desktop_switch_ = nullptr;
};

// The hook procedure's work for one event: notes a real event's time for the
// witness, then the engine decides.
Decision HandleHookEvent(GestureEngine& engine, WPARAM message, const MSLLHOOKSTRUCT& info);

// The hook's conversion: the event the engine sees for a hook call.
MouseEvent ToMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info);

}  // namespace sonarel
