#include "gesture/mouse_hook.h"

#include <wtsapi32.h>

#include "win32/proc_address.h"

namespace sonarel {
namespace {

// The hook procedure has no context argument: one engine, one hook, per process.
GestureEngine* g_engine = nullptr;
HHOOK g_hook = nullptr;
// The time of the latest real event the hook procedure saw, or of its
// installation: the witness compares with it.
HookClock g_hook_clock;

LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM message, LPARAM lparam) noexcept {
    if (code >= 0 && g_engine != nullptr) {
        try {
            const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lparam);
            if (HandleHookEvent(*g_engine, message, info) == Decision::Swallow) return -1;
        } catch (...) {
            // Nothing may escape into the system's input path: pass the event on.
        }
    }
    return ::CallNextHookEx(g_hook, code, message, lparam);
}

// The secure desktop (UAC, Ctrl+Alt+Del) takes the input while a trigger may
// be held: its release never reaches the hook.
void CALLBACK OnDesktopSwitch(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (g_engine != nullptr) g_engine->Reset();
}

// SetWinEventHook and UnhookWinEvent, looked up at run time.
using SetWinEventHookFn = HWINEVENTHOOK(WINAPI*)(DWORD, DWORD, HMODULE, WINEVENTPROC, DWORD, DWORD, DWORD);
using UnhookWinEventFn = BOOL(WINAPI*)(HWINEVENTHOOK);
constexpr DWORD kDesktopSwitch = 0x0020;  // EVENT_SYSTEM_DESKTOPSWITCH
constexpr DWORD kOutOfContext = 0x0000;   // WINEVENT_OUTOFCONTEXT

// Harmless when the system has removed the hook already.
void RemoveHook() {
    if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

}  // namespace

Decision HandleHookEvent(GestureEngine& engine, WPARAM message, const MSLLHOOKSTRUCT& info) {
    g_hook_clock.Note(info.flags, info.time);
    return engine.OnEvent(HC_ACTION, ToMouseEvent(message, info));
}

MouseEvent ToMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info) {
    return MouseEvent{static_cast<std::uint32_t>(message), Point{info.pt.x, info.pt.y}, info.mouseData, info.flags,
                      info.time, info.dwExtraInfo};
}

MouseHook::MouseHook(GestureEngine& engine, HINSTANCE instance, std::optional<std::uint32_t> own_integrity)
    : engine_(engine), instance_(instance), foreground_(own_integrity) {}

MouseHook::~MouseHook() {
    RemoveHook();
    g_engine = nullptr;
}

bool MouseHook::Install() {
    g_engine = &engine_;
    g_hook_clock.last_real_event = ::GetTickCount();
    g_hook = ::SetWindowsHookExW(WH_MOUSE_LL, LowLevelMouseProc, instance_, 0);
    if (g_hook == nullptr) g_engine = nullptr;
    return g_hook != nullptr;
}

void MouseHook::Reinstall() {
    RemoveHook();
    engine_.Reset();
    Install();
}

void MouseHook::WatchWith(HWND window) {
    // Raw input keeps coming with no window in front, and without the hook.
    watched_ = window;
    RegisterRawMouse(window);
    ::WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
    if (const auto set_hook = win32::User32Function<SetWinEventHookFn>("SetWinEventHook")) {
        desktop_switch_ = set_hook(kDesktopSwitch, kDesktopSwitch, nullptr, OnDesktopSwitch, 0, 0, kOutOfContext);
    }
}

void MouseHook::StopWatching(HWND window) {
    UnregisterRawMouse();
    ::WTSUnRegisterSessionNotification(window);
    if (desktop_switch_ != nullptr) {
        if (const auto unhook = win32::User32Function<UnhookWinEventFn>("UnhookWinEvent")) unhook(desktop_switch_);
        desktop_switch_ = nullptr;
    }
    ::KillTimer(window, kJudgementTimer);
    watched_ = nullptr;
}

void MouseHook::OnRawInput(HRAWINPUT input) {
    const std::optional<WitnessedEvent> event = ReadWitnessedEvent(input, foreground_);
    if (event && watch_.OnWitnessed(*event, g_hook_clock.last_real_event, engine_.IsArmed()) && watched_ != nullptr) {
        ::SetTimer(watched_, kJudgementTimer, HookWatch::kJudgeAfterMs, nullptr);
    }
}

void MouseHook::OnJudgementTimer() {
    if (watched_ != nullptr) ::KillTimer(watched_, kJudgementTimer);  // one-shot
    const Judgement judgement = watch_.Judge(g_hook_clock.last_real_event);
    if (judgement.reinstall) {
        Reinstall();
        return;
    }
    // A trigger release that the hook did not pass (an elevated window in
    // front, a hook ahead of ours) must not leave the gesture going.
    if (judgement.releases & kWitnessedLeft) engine_.OnMissedRelease(WM_LBUTTONUP, judgement.release_time[0]);
    if (judgement.releases & kWitnessedRight) engine_.OnMissedRelease(WM_RBUTTONUP, judgement.release_time[1]);
}

#if defined(SONAREL_TEST_SEAMS)
void MouseHook::DropForTest() {
    ::UnhookWindowsHookEx(g_hook);  // as the system does: nobody is told
}
#endif

}  // namespace sonarel
