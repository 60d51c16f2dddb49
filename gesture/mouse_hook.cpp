#include "gesture/mouse_hook.h"

#include <wtsapi32.h>

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
}

void MouseHook::StopWatching(HWND window) {
    UnregisterRawMouse();
    ::WTSUnRegisterSessionNotification(window);
    ::KillTimer(window, kJudgementTimer);
    watched_ = nullptr;
}

void MouseHook::OnRawInput(HRAWINPUT input) {
    const std::optional<WitnessedEvent> event = ReadWitnessedEvent(input, foreground_);
    if (event && watch_.OnWitnessed(*event, g_hook_clock.last_real_event) && watched_ != nullptr) {
        ::SetTimer(watched_, kJudgementTimer, HookWatch::kJudgeAfterMs, nullptr);
    }
}

void MouseHook::OnJudgementTimer() {
    if (watched_ != nullptr) ::KillTimer(watched_, kJudgementTimer);  // one-shot
    if (watch_.Judge(g_hook_clock.last_real_event)) Reinstall();
}

#if defined(SONAREL_TEST_SEAMS)
void MouseHook::DropForTest() {
    ::UnhookWindowsHookEx(g_hook);  // as the system does: nobody is told
}
#endif

}  // namespace sonarel
