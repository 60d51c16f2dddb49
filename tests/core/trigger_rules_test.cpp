#include "gesture/trigger_rules.h"

#include <gtest/gtest.h>

namespace sonarel {
namespace {

TEST(PlaceIndicatorTest, BesideTheCursorFlippingNearTheEdges) {
    const Size screen{1920, 1080}, cursor{32, 32}, indicator{120, 20};
    const struct {
        Point cursor;
        Point expected;
    } cases[] = {
        {{100, 100}, {132, 100}},   {{40, 40}, {72, 40}},       {{10, 10}, {32, 32}},
        {{1900, 1070}, {1748, 1018}}, {{1768, 1028}, {1800, 1028}}, {{1769, 1029}, {1617, 977}},
        {{-500, 300}, {32, 300}},   {{2500, 300}, {1768, 300}}, {{300, 5000}, {332, 1028}},
    };
    for (const auto& c : cases) {
        const Point p = PlaceIndicator(screen, cursor, indicator, c.cursor);
        EXPECT_EQ(p, c.expected) << c.cursor.x << "," << c.cursor.y << " -> " << p.x << "," << p.y;
    }
}

TEST(PlaceIndicatorTest, OnTheCursorsMonitorWhereverItStands) {
    // A desk around a 1920 x 1080 primary at the origin, with the cursor in
    // the middle and near each edge of the monitor it is on; a 32 x 32 cursor
    // (48 x 48 on the 150 % one) and a 120 x 20 indicator.
    const Rect left{-1280, 56, 0, 1080};        // 1280 x 1024, bottoms aligned
    const Rect above{0, -1200, 1920, 0};        // 1920 x 1200
    const Rect right{1920, 0, 4480, 1440};      // 2560 x 1440 at 150 %
    const Rect below{320, 1080, 1600, 1800};    // 1280 x 720
    const Rect primary{0, 0, 1920, 1080};
    const Size normal{32, 32}, large{48, 48}, indicator{120, 20};
    const struct {
        const char* where;
        Rect monitor;
        Size cursor;
        Point at;
        Point expected;
    } cases[] = {
        {"primary, middle", primary, normal, {960, 540}, {992, 540}},
        {"left, middle", left, normal, {-640, 500}, {-608, 500}},
        {"left, near its left edge", left, normal, {-1270, 500}, {-1248, 500}},
        {"left, near its top edge", left, normal, {-640, 60}, {-608, 88}},
        {"left, near its right edge: flips left", left, normal, {-10, 500}, {-162, 500}},
        {"left, near its bottom edge: flips up", left, normal, {-640, 1070}, {-608, 1018}},
        {"above, middle", above, normal, {960, -600}, {992, -600}},
        {"above, near its top edge", above, normal, {960, -1195}, {992, -1168}},
        {"above, near its bottom edge: flips up", above, normal, {960, -5}, {992, -57}},
        {"right, middle", right, large, {3200, 720}, {3248, 720}},
        {"right, near its left edge", right, large, {1925, 720}, {1968, 720}},
        {"right, near its right edge: flips left", right, large, {4470, 720}, {4302, 720}},
        {"right, near its bottom edge: flips up", right, large, {3200, 1430}, {3248, 1362}},
        {"below, middle", below, normal, {960, 1440}, {992, 1440}},
        {"below, near its left edge", below, normal, {330, 1440}, {352, 1440}},
        {"below, near its top edge", below, normal, {960, 1085}, {992, 1112}},
        {"below, near both far edges: flips both ways", below, normal, {1590, 1790}, {1438, 1738}},
    };
    for (const auto& c : cases) {
        const Point p = PlaceIndicatorOnMonitor(c.monitor, c.cursor, indicator, c.at);
        EXPECT_EQ(p, c.expected) << c.where << ": " << p.x << "," << p.y;
        // Wholly on the cursor's monitor.
        EXPECT_GE(p.x, c.monitor.left) << c.where;
        EXPECT_LE(p.x + indicator.cx, c.monitor.right) << c.where;
        EXPECT_GE(p.y, c.monitor.top) << c.where;
        EXPECT_LE(p.y + indicator.cy, c.monitor.bottom) << c.where;
    }
}

TEST(PlaceIndicatorTest, ExtremeCoordinatesDoNotOverflow) {
    const Point p = PlaceIndicator({1920, 1080}, {32, 32}, {120, 20}, {-2147483647 - 1, -2147483647 - 1});
    EXPECT_EQ(p, (Point{32, 32}));
    const Point q = PlaceIndicator({2147483647, 2147483647}, {32, 32}, {120, 20}, {2147483647, 2147483647});
    EXPECT_EQ(q, (Point{2147483647 - 152, 2147483647 - 52}));
    const Rect far{-2147483647 - 1, -2147483647 - 1, -2147483647 + 999, -2147483647 + 999};
    EXPECT_EQ(PlaceIndicatorOnMonitor(far, {32, 32}, {120, 20}, {-2147483647 - 1, -2147483647 - 1}),
              (Point{-2147483647 - 1 + 32, -2147483647 - 1 + 32}));
}

TEST(EligibilityTest, APressOverAWindowOfAHigherOrUnknownIntegrityLevelIsLeftAlone) {
    constexpr std::uint32_t kLow = 0x1000, kSystem = 0x4000;
    const struct {
        std::uint32_t own;
        std::optional<std::uint32_t> window;
        bool eligible;
    } cases[] = {
        {kMediumIntegrity, kMediumIntegrity, true},  {kMediumIntegrity, kLow, true},
        {kMediumIntegrity, kHighIntegrity, false},   {kMediumIntegrity, kSystem, false},
        {kMediumIntegrity, std::nullopt, false},     {kHighIntegrity, kHighIntegrity, true},
        {kHighIntegrity, kMediumIntegrity, true},    {kHighIntegrity, kSystem, false},
        {kMediumIntegrity, kMediumIntegrity + 0x100, false},  // medium-plus (UIAccess) is higher
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsEligibleByIntegrity(c.own, c.window), c.eligible)
            << std::hex << "own " << c.own << ", window " << (c.window ? *c.window : 0xFFFFFFFFu);
    }
}

TEST(EligibilityTest, TheTestFollowsWindowVersionAndQuery) {
    EXPECT_EQ(ChooseEligibilityTest(false, false, true), EligibilityTest::None);
    EXPECT_EQ(ChooseEligibilityTest(false, true, false), EligibilityTest::None);
    EXPECT_EQ(ChooseEligibilityTest(true, false, true), EligibilityTest::NotificationState);
    EXPECT_EQ(ChooseEligibilityTest(true, true, true), EligibilityTest::MonitorCoverage);
    EXPECT_EQ(ChooseEligibilityTest(true, false, false), EligibilityTest::MonitorCoverage);
}

TEST(EligibilityTest, OnlyRealFullScreenUseRefusesAPress) {
    // The top-level window under the press: one that covers its monitor (a
    // borderless game), an ordinary one, and the shell's desktop.
    const Rect monitor{0, 0, 1920, 1080};
    const CoverageFacts covering{false, monitor, monitor};
    const CoverageFacts ordinary{false, monitor, {100, 100, 900, 700}};
    const CoverageFacts desktop{true, monitor, monitor};
    constexpr bool Y = true, N = false;
    const struct {
        const char* state;
        NotificationQuery query;
        bool covering, ordinary, desktop;  // eligible over each
    } cases[] = {
        {"0 (no such state)", {true, 0}, N, Y, Y},
        {"1 not present: screen saver, locked", {true, 1}, N, N, N},
        {"2 busy: an overlay, or a window maximised where no taskbar is", {true, 2}, N, Y, Y},
        {"3 Direct3D full screen", {true, 3}, N, N, N},
        {"4 presentation mode", {true, 4}, N, N, N},
        {"5 accepts notifications", {true, 5}, Y, Y, Y},
        {"6 quiet time: a new account's first hour", {true, 6}, Y, Y, Y},
        {"7 a Store app or the Start menu", {true, 7}, Y, Y, Y},
        {"8 (a state of a later system)", {true, 8}, N, Y, Y},
        {"a failed query", {false, 5}, N, Y, Y},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        const std::pair<const CoverageFacts*, bool> windows[] = {
            {&covering, c.covering}, {&ordinary, c.ordinary}, {&desktop, c.desktop}};
        for (const auto& [facts, eligible] : windows) {
            int gathered = 0;
            EXPECT_EQ(IsEligibleAtNotificationState(c.query,
                                                    [&] {
                                                        ++gathered;
                                                        return *facts;
                                                    }),
                      eligible);
            // The window is looked at only when the state says nothing certain.
            const NotificationVerdict verdict = JudgeNotificationState(c.query);
            EXPECT_EQ(gathered, verdict == NotificationVerdict::AskMonitor ? 1 : 0);
        }
    }
}

TEST(EligibilityTest, OnlyTheShellsDesktopClassesAreTheDesktop) {
    EXPECT_TRUE(IsShellDesktopClass(L"Progman"));
    EXPECT_TRUE(IsShellDesktopClass(L"WorkerW"));
    for (const wchar_t* other : {L"", L"Progman2", L"Worker", L"#32769", L"Shell_TrayWnd", L"UnityWndClass"}) {
        EXPECT_FALSE(IsShellDesktopClass(other));
    }
    EXPECT_FALSE(IsShellDesktopClass(nullptr));
}

TEST(EligibilityTest, MonitorTestRefusesWindowsCoveringTheWholeMonitor) {
    const Rect monitor{0, 0, 1920, 1080};
    const Rect client{8, 31, 1912, 1072};
    const struct {
        const char* what;
        std::uint32_t style;
        Rect window;
        bool eligible;
    } cases[] = {
        {"borderless, exactly the monitor", 0x80000000, monitor, false},
        {"borderless, one pixel narrower", 0x80000000, {0, 0, 1919, 1080}, true},
        {"maximised with caption and frame: judged by its client area", 0x16CF0000, {-8, -8, 1928, 1088}, true},
        {"caption without sizing frame: judged by its window", 0x16C80000, {-8, -8, 1928, 1088}, false},
        {"beyond the monitor on all sides", 0x80000000, {-10, -10, 1930, 1090}, false},
        {"failed rectangle query", 0, {}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsEligibleOverMonitor(monitor, JudgedWindowRect(c.style, client, c.window)), c.eligible) << c.what;
    }
    EXPECT_EQ(IsEligibleOverMonitor({1920, 0, 3840, 1080}, {1920, 0, 3840, 1080}), false) << "second monitor";
}

}  // namespace
}  // namespace sonarel
