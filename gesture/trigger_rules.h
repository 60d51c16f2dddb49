// When a trigger press may start a gesture, and where the indicator stands.
// Plain values in, plain values out; the Win32 side gathers the values.
#pragma once

#include <cstdint>
#include <optional>

#include "common/geometry.h"

namespace sonarel {

// QUERY_USER_NOTIFICATION_STATE values.
namespace notification_state {
inline constexpr int kNotPresent = 1;            // QUNS_NOT_PRESENT: screen saver, locked, fast user switching
inline constexpr int kBusy = 2;                  // QUNS_BUSY
inline constexpr int kRunningD3dFullScreen = 3;  // QUNS_RUNNING_D3D_FULL_SCREEN
inline constexpr int kPresentationMode = 4;      // QUNS_PRESENTATION_MODE
inline constexpr int kAcceptsNotifications = 5;  // QUNS_ACCEPTS_NOTIFICATIONS
inline constexpr int kQuietTime = 6;             // QUNS_QUIET_TIME
inline constexpr int kApp = 7;                   // QUNS_APP
}  // namespace notification_state
inline constexpr std::uint32_t kCaptionAndSizingFrame = 0x00C40000;  // WS_CAPTION | WS_THICKFRAME

// Which test judges a trigger press over a window.
enum class EligibilityTest : std::uint8_t {
    None,               // no window under the point: always eligible
    NotificationState,  // Vista and later, query present
    MonitorCoverage,    // XP, or the query is missing
};

EligibilityTest ChooseEligibilityTest(bool window_present, bool is_xp, bool query_present);

// Only real full-screen use refuses a press. Windows 10 and 11 report busy
// for overlays (GeForce) and bare desktops too, quiet time for a new account's
// first hour, and the Store-app state for the Start menu; busy, unknown states
// and a failed query say nothing certain, so the monitor test decides.
struct NotificationQuery {
    bool succeeded = false;
    int state = 0;
};
enum class NotificationVerdict : std::uint8_t { Eligible, Refused, AskMonitor };
NotificationVerdict JudgeNotificationState(NotificationQuery query);

// The top-level window under a press, as the monitor test sees it.
struct CoverageFacts {
    bool shell_desktop = false;  // the desktop covers its monitor, but is no full-screen program
    Rect monitor;
    Rect judged;  // JudgedWindowRect
};
bool CoversItsMonitor(const CoverageFacts& facts);

// The shell's desktop windows: Progman and WorkerW.
bool IsShellDesktopClass(const wchar_t* class_name);

// Vista and later with the query: the state decides, or the monitor test of
// the facts that `gather` returns, gathered only when needed.
template <typename GatherCoverageFacts>
bool IsEligibleAtNotificationState(NotificationQuery query, GatherCoverageFacts&& gather) {
    switch (JudgeNotificationState(query)) {
        case NotificationVerdict::Eligible: return true;
        case NotificationVerdict::Refused: return false;
        case NotificationVerdict::AskMonitor: break;
    }
    return !CoversItsMonitor(gather());
}

// The rectangle the monitor test judges: the client area (on screen) of a
// window with caption and sizing frame, else the window rectangle.
Rect JudgedWindowRect(std::uint32_t style, const Rect& client_on_screen, const Rect& window_rect);

// Eligible unless the window rectangle contains the whole monitor rectangle.
bool IsEligibleOverMonitor(const Rect& monitor, const Rect& window);

// Integrity levels as the system numbers them (the RID of a token's mandatory
// label): low 0x1000, medium 0x2000, high 0x3000, system 0x4000. The system
// drops input that a program injects into a program of a higher level, so a
// held-back press could never be replayed there: such a window, or one whose
// level cannot be read, gets the press untouched.
inline constexpr std::uint32_t kMediumIntegrity = 0x2000;
inline constexpr std::uint32_t kHighIntegrity = 0x3000;
bool IsEligibleByIntegrity(std::uint32_t own_level, std::optional<std::uint32_t> window_level);

// Top-left of the indicator beside the cursor, on `monitor` (the whole
// rectangle of the monitor under the cursor): one cursor width right of the
// hot spot and level with it, flipped left of / above the cursor near the
// monitor's right / bottom edges, and one cursor size in from its left / top
// edges.
Point PlaceIndicatorOnMonitor(const Rect& monitor, Size cursor, Size indicator, Point cursor_pos);

// The same on a primary screen of `screen` at the origin.
Point PlaceIndicator(Size screen, Size cursor, Size indicator, Point cursor_pos);

}  // namespace sonarel
