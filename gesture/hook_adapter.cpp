#include "gesture/hook_adapter.h"

#include <wtsapi32.h>

#include "gesture/trigger_rules.h"
#include "volume/volume_control.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

// The hook procedure has no context argument: one engine, one hook, per process.
GestureEngine* g_engine = nullptr;
HHOOK g_hook = nullptr;
// The time stamp of the latest event the hook procedure saw, or of its
// installation: the witness compares with it.
DWORD g_last_hook_call = 0;

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

bool IsEligibleOverItsMonitor(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    Rect monitor{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
        monitor = ToRect(info.rcMonitor);
    }
    const auto style = static_cast<std::uint32_t>(::GetWindowLongW(window, GWL_STYLE));
    RECT client{}, outer{};
    if ((style & kCaptionAndSizingFrame) == kCaptionAndSizingFrame) {
        if (::GetClientRect(window, &client)) {
            ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        }
    } else {
        ::GetWindowRect(window, &outer);
    }
    return IsEligibleOverMonitor(monitor, JudgedWindowRect(style, ToRect(client), ToRect(outer)));
}

INPUT ToInput(const ReplayRecord& record) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = record.dx;
    input.mi.dy = record.dy;
    input.mi.mouseData = record.mouse_data;
    input.mi.dwFlags = record.flags;
    input.mi.time = record.time;
    input.mi.dwExtraInfo = record.extra_info;
    return input;
}

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

}  // namespace

Decision HandleHookEvent(GestureEngine& engine, WPARAM message, const MSLLHOOKSTRUCT& info) {
    g_last_hook_call = info.time;
    return engine.OnEvent(HC_ACTION, ToMouseEvent(message, info));
}

MouseEvent ToMouseEvent(WPARAM message, const MSLLHOOKSTRUCT& info) {
    return MouseEvent{static_cast<std::uint32_t>(message), Point{info.pt.x, info.pt.y}, info.mouseData, info.flags,
                      info.time, info.dwExtraInfo};
}

std::optional<std::uint32_t> ProcessIntegrityLevel(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token)) return std::nullopt;
    const win32::unique_kernel_handle owned_token(token);
    union {
        TOKEN_MANDATORY_LABEL label;
        BYTE bytes[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    } buffer{};
    DWORD size = 0;
    if (!::GetTokenInformation(token, TokenIntegrityLevel, &buffer, sizeof buffer, &size)) return std::nullopt;
    const PSID sid = buffer.label.Label.Sid;
    if (sid == nullptr || !::IsValidSid(sid) || *::GetSidSubAuthorityCount(sid) == 0) return std::nullopt;
    return static_cast<std::uint32_t>(*::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1u));
}

std::optional<std::uint32_t> WindowIntegrityLevel(HWND window) {
    DWORD process_id = 0;
    ::GetWindowThreadProcessId(window, &process_id);
    if (process_id == 0) return std::nullopt;
    if (process_id == ::GetCurrentProcessId()) return ProcessIntegrityLevel(::GetCurrentProcess());
    const win32::unique_kernel_handle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process) return std::nullopt;
    return ProcessIntegrityLevel(process.get());
}

SystemFacts RecordSystemFacts(HMODULE shell32) {
    SystemFacts facts;
    facts.is_xp = ReportedMajorVersion() == 5;
    if (shell32 != nullptr) {
        facts.query_notification_state = reinterpret_cast<QueryNotificationStateFn>(
            reinterpret_cast<void*>(::GetProcAddress(shell32, "SHQueryUserNotificationState")));
    }
    if (!facts.is_xp) facts.own_integrity = ProcessIntegrityLevel(::GetCurrentProcess());
    return facts;
}

namespace {

bool IsEligibleByScreenState(HWND window, const SystemFacts& facts) {
    switch (ChooseEligibilityTest(window != nullptr, facts.is_xp, facts.query_notification_state != nullptr)) {
        case EligibilityTest::None:
            return true;
        case EligibilityTest::NotificationState: {
            int state = 0;
            const HRESULT result = facts.query_notification_state(&state);
            const NotificationVerdict verdict = JudgeNotificationState({SUCCEEDED(result), state});
            if (verdict != NotificationVerdict::AskMonitor) return verdict == NotificationVerdict::Eligible;
            return IsEligibleOverItsMonitor(window);
        }
        case EligibilityTest::MonitorCoverage:
            return IsEligibleOverItsMonitor(window);
    }
    return true;
}

}  // namespace

bool IsTriggerEligible(HWND window, const SystemFacts& facts) {
    if (!IsEligibleByScreenState(window, facts)) return false;
    // The desktop window belongs to no program the press could be replayed into.
    if (window == nullptr || window == ::GetDesktopWindow() || !facts.own_integrity) return true;
    return IsEligibleByIntegrity(*facts.own_integrity, WindowIntegrityLevel(window));
}

Point IndicatorPositionFor(HWND indicator) {
    RECT window{};
    ::GetWindowRect(indicator, &window);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    return PlaceIndicator({::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)},
                          {::GetSystemMetrics(SM_CXCURSOR), ::GetSystemMetrics(SM_CYCURSOR)},
                          {window.right - window.left, window.bottom - window.top}, {cursor.x, cursor.y});
}

bool Win32GestureOperations::IsTriggerEligibleAt(Point pt) {
    return IsTriggerEligible(::WindowFromPoint(POINT{pt.x, pt.y}), facts_);
}

void Win32GestureOperations::MoveIndicator(Point top_left) {
    RECT window{};
    ::GetWindowRect(indicator_, &window);
    ::MoveWindow(indicator_, top_left.x, top_left.y, window.right - window.left, window.bottom - window.top, TRUE);
}

void Win32GestureOperations::ShowIndicator() {
    ::ShowWindow(indicator_, SW_SHOWNOACTIVATE);
    ::SetWindowPos(indicator_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

int Win32GestureOperations::GetLevel() { return volume_.GetLevel(); }
void Win32GestureOperations::SetLevel(std::uint32_t percent) { volume_.SetLevel(percent); }
bool Win32GestureOperations::GetMute() { return volume_.GetMute(); }
void Win32GestureOperations::SetMute(bool muted) { volume_.SetMute(muted); }

void Win32GestureOperations::Replay(const ReplayRecord& first, const ReplayRecord& second) {
    INPUT inputs[2] = {ToInput(first), ToInput(second)};
    ::SendInput(2, inputs, sizeof(INPUT));
}

bool ForegroundCheck::HookBypassed() {
    if (!own_integrity_) return false;  // XP: no levels
    const HWND foreground = ::GetForegroundWindow();
    if (foreground != window_) {
        window_ = foreground;
        bypassed_ = foreground != nullptr &&
                    !IsEligibleByIntegrity(*own_integrity_, WindowIntegrityLevel(foreground));
    }
    return bypassed_;
}

WitnessedEvent ToWitnessedEvent(const RAWINPUTHEADER& header, const RAWMOUSE& mouse, DWORD time,
                                ForegroundCheck& foreground) {
    WitnessedEvent event;
    event.time = time;
    event.button_or_wheel = mouse.usButtonFlags != 0;
    event.injected = header.hDevice == nullptr;  // SendInput's events come from no device
    if (event.button_or_wheel && !event.injected) event.hook_bypassed = foreground.HookBypassed();
    return event;
}

// --- MouseHook -------------------------------------------------------------------

MouseHook::MouseHook(GestureEngine& engine, HINSTANCE instance, std::optional<std::uint32_t> own_integrity)
    : engine_(engine), instance_(instance), foreground_(own_integrity) {}

namespace {

// Harmless when the system has removed the hook already.
void RemoveHook() {
    if (g_hook != nullptr) ::UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
}

RAWINPUTDEVICE RawMouse(DWORD flags, HWND target) {
    RAWINPUTDEVICE mouse{};
    mouse.usUsagePage = 0x01;  // generic desktop controls
    mouse.usUsage = 0x02;      // mouse
    mouse.dwFlags = flags;
    mouse.hwndTarget = target;
    return mouse;
}

}  // namespace

MouseHook::~MouseHook() {
    RemoveHook();
    g_engine = nullptr;
}

bool MouseHook::Install() {
    g_engine = &engine_;
    g_last_hook_call = ::GetTickCount();
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
    const RAWINPUTDEVICE mouse = RawMouse(RIDEV_INPUTSINK, window);
    ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
    ::WTSRegisterSessionNotification(window, NOTIFY_FOR_THIS_SESSION);
}

void MouseHook::StopWatching(HWND window) {
    const RAWINPUTDEVICE mouse = RawMouse(RIDEV_REMOVE, nullptr);
    ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
    ::WTSUnRegisterSessionNotification(window);
}

void MouseHook::OnRawInput(HRAWINPUT handle) {
    RAWINPUT input{};
    UINT size = sizeof input;
    if (::GetRawInputData(handle, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
        input.header.dwType != RIM_TYPEMOUSE || input.data.mouse.usButtonFlags == 0) {
        return;  // moves: the common case, and proof of nothing
    }
    const WitnessedEvent event =
        ToWitnessedEvent(input.header, input.data.mouse, static_cast<DWORD>(::GetMessageTime()), foreground_);
    if (watch_.ShouldReinstall(event, g_last_hook_call)) Reinstall();
}

#if defined(SONAREL_TEST_SEAMS)
void MouseHook::DropForTest() {
    ::UnhookWindowsHookEx(g_hook);  // as the system does: nobody is told
}
#endif

}  // namespace sonarel
