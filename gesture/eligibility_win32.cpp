#include "gesture/eligibility_win32.h"

#include "gesture/trigger_rules.h"
#include "volume/volume_control.h"
#include "win32/proc_address.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

#if defined(SONAREL_TEST_SEAMS)
int g_test_notification_state = 0;
#endif

Rect ToRect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

Rect MonitorRectOf(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) return ToRect(info.rcMonitor);
    return Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
}

Rect JudgedRectOf(HWND window) {
    const auto style = static_cast<std::uint32_t>(::GetWindowLongW(window, GWL_STYLE));
    RECT client{}, outer{};
    if ((style & kCaptionAndSizingFrame) == kCaptionAndSizingFrame) {
        if (::GetClientRect(window, &client)) {
            ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        }
    } else {
        ::GetWindowRect(window, &outer);
    }
    return JudgedWindowRect(style, ToRect(client), ToRect(outer));
}

// The XP path's test: the window under the press itself.
bool IsEligibleOverItsMonitor(HWND window) { return IsEligibleOverMonitor(MonitorRectOf(window), JudgedRectOf(window)); }

// The later systems' test: the top-level window under the press, where the
// desktop never counts as a full-screen program.
CoverageFacts CoverageOfTopLevel(HWND window) {
    const HWND root = ::GetAncestor(window, GA_ROOT);
    const HWND top = root != nullptr ? root : window;
    wchar_t class_name[16] = L"";  // longer names are none of the desktop's
    ::GetClassNameW(top, class_name, ARRAYSIZE(class_name));
    return CoverageFacts{top == ::GetDesktopWindow() || IsShellDesktopClass(class_name), MonitorRectOf(top),
                         JudgedRectOf(top)};
}

NotificationQuery QueryNotificationState(const SystemFacts& facts) {
#if defined(SONAREL_TEST_SEAMS)
    if (g_test_notification_state != 0) return {true, g_test_notification_state};
#endif
    int state = 0;
    return {SUCCEEDED(facts.query_notification_state(&state)), state};
}

bool IsEligibleByScreenState(HWND window, const SystemFacts& facts) {
    switch (ChooseEligibilityTest(window != nullptr, facts.is_xp, facts.query_notification_state != nullptr)) {
        case EligibilityTest::None:
            return true;
        case EligibilityTest::NotificationState:
            return IsEligibleAtNotificationState(QueryNotificationState(facts),
                                                 [window] { return CoverageOfTopLevel(window); });
        case EligibilityTest::MonitorCoverage:
            return IsEligibleOverItsMonitor(window);
    }
    return true;
}

}  // namespace

#if defined(SONAREL_TEST_SEAMS)
void SetNotificationStateForTest(int state) { g_test_notification_state = state; }
#endif

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
    facts.query_notification_state = win32::ProcAddress<QueryNotificationStateFn>(shell32, "SHQueryUserNotificationState");
    if (!facts.is_xp) facts.own_integrity = ProcessIntegrityLevel(::GetCurrentProcess());
    return facts;
}

bool IsTriggerEligible(HWND window, const SystemFacts& facts) {
    if (!IsEligibleByScreenState(window, facts)) return false;
    // The desktop window belongs to no program the press could be replayed into.
    if (window == nullptr || window == ::GetDesktopWindow() || !facts.own_integrity) return true;
    return IsEligibleByIntegrity(*facts.own_integrity, WindowIntegrityLevel(window));
}

}  // namespace sonarel
