#include "gesture/trigger_rules.h"

#include <algorithm>
#include <string_view>

namespace sonarel {

EligibilityTest ChooseEligibilityTest(bool window_present, bool is_xp, bool query_present) {
    if (!window_present) return EligibilityTest::None;
    if (!is_xp && query_present) return EligibilityTest::NotificationState;
    return EligibilityTest::MonitorCoverage;
}

NotificationVerdict JudgeNotificationState(NotificationQuery query) {
    using namespace notification_state;
    if (!query.succeeded) return NotificationVerdict::AskMonitor;
    switch (query.state) {
        case kAcceptsNotifications:
        case kQuietTime:
        case kApp:
            return NotificationVerdict::Eligible;
        case kRunningD3dFullScreen:
        case kPresentationMode:
        case kNotPresent:
            return NotificationVerdict::Refused;
        default:  // busy, or a state this program does not know
            return NotificationVerdict::AskMonitor;
    }
}

bool CoversItsMonitor(const CoverageFacts& facts) {
    return !facts.shell_desktop && !IsEligibleOverMonitor(facts.monitor, facts.judged);
}

bool IsShellDesktopClass(const wchar_t* class_name) {
    const std::wstring_view name = class_name != nullptr ? class_name : L"";
    return name == L"Progman" || name == L"WorkerW";
}

bool IsEligibleByIntegrity(std::uint32_t own_level, std::optional<std::uint32_t> window_level) {
    return window_level && *window_level <= own_level;
}

Rect JudgedWindowRect(std::uint32_t style, const Rect& client_on_screen, const Rect& window_rect) {
    return (style & kCaptionAndSizingFrame) == kCaptionAndSizingFrame ? client_on_screen : window_rect;
}

bool IsEligibleOverMonitor(const Rect& monitor, const Rect& window) {
    return UnionOf(monitor, window) != window;
}

namespace {

// One axis of the placement between `low` and `high` (exclusive); `gap` is
// how far past the hot spot the indicator starts when it stands after the
// cursor. 64-bit: no size or position can overflow it.
std::int32_t PlaceOnAxis(std::int64_t p, std::int64_t low, std::int64_t high, std::int64_t cursor,
                         std::int64_t extent, std::int64_t gap) {
    p = std::min(p, high);
    if (p > high - cursor - extent) return static_cast<std::int32_t>(p - cursor - extent);
    if (p < low + cursor) return static_cast<std::int32_t>(low + cursor);
    return static_cast<std::int32_t>(p + gap);
}

}  // namespace

Point PlaceIndicatorOnMonitor(const Rect& monitor, Size cursor, Size indicator, Point cursor_pos) {
    // One cursor width right of the hot spot; vertically level with it.
    return Point{PlaceOnAxis(cursor_pos.x, monitor.left, monitor.right, cursor.cx, indicator.cx, cursor.cx),
                 PlaceOnAxis(cursor_pos.y, monitor.top, monitor.bottom, cursor.cy, indicator.cy, 0)};
}

Point PlaceIndicator(Size screen, Size cursor, Size indicator, Point cursor_pos) {
    return PlaceIndicatorOnMonitor(Rect{0, 0, screen.cx, screen.cy}, cursor, indicator, cursor_pos);
}

}  // namespace sonarel
