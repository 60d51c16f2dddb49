#include "gesture/gesture_engine.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings.h"

namespace sonarel {
namespace {

using namespace mouse_message;

// Surroundings of the engine: keeps level, mute and visibility, and logs every
// effect in order.
class FakeOperations final : public GestureOperations {
public:
    bool IsTriggerEligibleAt(Point pt) override {
        log.push_back("eligible?" + std::to_string(pt.x) + "," + std::to_string(pt.y));
        return eligible;
    }
    Point IndicatorPosition() override { return position; }
    bool IsIndicatorVisible() override { return visible; }
    void MoveIndicator(Point p) override { log.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y)); }
    void ShowIndicator() override {
        visible = true;
        log.push_back("show");
    }
    void HideIndicator() override {
        visible = false;
        log.push_back("hide");
    }
    void RepaintIndicator() override { log.push_back("repaint"); }
    int GetLevel() override { return level; }
    void SetLevel(std::uint32_t percent) override {
        set_level_calls.push_back(percent);
        level = static_cast<int>(percent > 100 ? 100 : percent);
    }
    bool GetMute() override { return muted; }
    void SetMute(bool m) override {
        muted = m;
        log.push_back(m ? "mute" : "unmute");
    }
    void Replay(const ReplayRecord& first, const ReplayRecord& second) override {
        replays.push_back({first, second});
        log.push_back("replay");
    }

    bool eligible = true;
    bool visible = false;
    bool muted = false;
    int level = 50;
    Point position{500, 400};
    std::vector<std::string> log;
    std::vector<std::uint32_t> set_level_calls;
    std::vector<std::pair<ReplayRecord, ReplayRecord>> replays;
};

MouseEvent Event(std::uint32_t message, Point pt = {100, 100}, std::uint32_t data = 0) {
    return MouseEvent{message, pt, data, 0, 1234, 0xE0F0};
}
MouseEvent Wheel(int delta, std::uint32_t message = kWheel) {
    return Event(message, {100, 100}, static_cast<std::uint32_t>(static_cast<std::uint16_t>(delta)) << 16);
}

// The buttons of one trigger setting, so every scenario runs for both.
struct Buttons {
    std::int32_t setting;
    std::uint32_t trigger_down, trigger_up, mute_down, mute_up;
    std::uint32_t replay_down, replay_up;
};
void PrintTo(const Buttons& buttons, std::ostream* out) {
    *out << (buttons.setting == 0 ? "left trigger" : "right trigger");
}

constexpr Buttons kLeftTrigger{0, kLeftDown, kLeftUp, kRightDown, kRightUp, replay_flags::kLeftDown,
                               replay_flags::kLeftUp};
constexpr Buttons kRightTrigger{2, kRightDown, kRightUp, kLeftDown, kLeftUp, replay_flags::kRightDown,
                                replay_flags::kRightUp};

class GestureEngineTest : public ::testing::TestWithParam<Buttons> {
protected:
    GestureEngineTest() { settings.mouse_button_pressed = GetParam().setting; settings.volume_delta = 5; }
    Decision Send(const MouseEvent& event) { return engine.OnEvent(0, event); }
    const Buttons& b() const { return GetParam(); }

    Settings settings{Settings::Blank{}};
    FakeOperations ops;
    GestureEngine engine{settings, ops};
};

TEST_P(GestureEngineTest, TapIsHeldBackAndReplayedAsOneCompleteClick) {
    MouseEvent press = Event(b().trigger_down, {100, 100});
    press.mouse_data = 0x55;
    EXPECT_EQ(Send(press), Decision::Swallow);
    EXPECT_TRUE(engine.IsArmed());
    MouseEvent release = Event(b().trigger_up, {100, 100});
    release.time = 2000;
    EXPECT_EQ(Send(release), Decision::Swallow);

    ASSERT_EQ(ops.replays.size(), 1u);
    EXPECT_EQ(ops.replays[0].first, (ReplayRecord{100, 100, 0x55, b().replay_down, 1234, 0xE0F0}));
    EXPECT_EQ(ops.replays[0].second, (ReplayRecord{100, 100, 0, b().replay_up, 2000, 0xE0F0}));
    EXPECT_FALSE(engine.IsArmed());
    EXPECT_FALSE(ops.visible);
    EXPECT_TRUE(ops.set_level_calls.empty());
}

TEST_P(GestureEngineTest, WheelGestureShowsStepsAndHidesWithoutReplay) {
    Send(Event(b().trigger_down));
    EXPECT_EQ(Send(Wheel(120)), Decision::Swallow);
    EXPECT_EQ(ops.level, 55);
    EXPECT_EQ(ops.log, (std::vector<std::string>{"eligible?100,100", "move 500,400", "show", "repaint"}));

    ops.log.clear();
    EXPECT_EQ(Send(Wheel(-240, kHorizontalWheel)), Decision::Swallow);  // already shown: just step
    EXPECT_EQ(ops.level, 45);
    EXPECT_EQ(ops.log, (std::vector<std::string>{"repaint"}));

    EXPECT_EQ(Send(Event(b().trigger_up)), Decision::Swallow);
    EXPECT_FALSE(ops.visible);
    EXPECT_TRUE(ops.replays.empty());
    EXPECT_EQ(Send(Event(b().trigger_up)), Decision::Pass);  // idle again
}

TEST_P(GestureEngineTest, MoveAwayBeforeAnyNotchReplaysThePressAsADrag) {
    Send(Event(b().trigger_down, {100, 100}));
    EXPECT_EQ(Send(Event(kMove, {100, 100})), Decision::Swallow);  // still at the press point
    EXPECT_TRUE(ops.replays.empty());
    EXPECT_EQ(Send(Event(kMove, {101, 100})), Decision::Swallow);
    ASSERT_EQ(ops.replays.size(), 1u);
    EXPECT_EQ(ops.replays[0].first.flags, b().replay_down);
    EXPECT_EQ(ops.replays[0].second, (ReplayRecord{101, 100, 0, replay_flags::kMove, 1234, 0xE0F0}));
    EXPECT_FALSE(engine.IsArmed());
    EXPECT_EQ(Send(Event(kMove, {140, 100})), Decision::Pass);
    EXPECT_EQ(Send(Wheel(120)), Decision::Pass);
    EXPECT_EQ(Send(Event(b().trigger_up, {140, 100})), Decision::Pass);
    EXPECT_EQ(ops.replays.size(), 1u);
}

TEST_P(GestureEngineTest, IndicatorFollowsMovesDuringAGestureButNotOntoThePressPoint) {
    Send(Event(b().trigger_down, {100, 100}));
    Send(Wheel(120));
    ops.log.clear();
    EXPECT_EQ(Send(Event(kMove, {130, 90})), Decision::Pass);
    EXPECT_EQ(ops.log, (std::vector<std::string>{"move 500,400"}));
    EXPECT_EQ(Send(Event(kMove, {100, 100})), Decision::Swallow);
    EXPECT_TRUE(engine.IsArmed());
}

TEST_P(GestureEngineTest, MuteButtonTogglesWhileHeldAndItsReleaseIsSwallowed) {
    Send(Event(b().trigger_down));
    EXPECT_EQ(Send(Event(b().mute_down)), Decision::Swallow);
    EXPECT_TRUE(ops.muted);
    EXPECT_TRUE(ops.visible);
    EXPECT_EQ(Send(Event(b().mute_up)), Decision::Swallow);
    EXPECT_EQ(Send(Event(b().mute_down)), Decision::Swallow);
    EXPECT_FALSE(ops.muted);
    EXPECT_EQ(Send(Event(b().trigger_up)), Decision::Swallow);
    EXPECT_FALSE(ops.visible);
    // Released after the trigger, the mute button's release is still swallowed:
    // the application never saw its press.
    EXPECT_EQ(Send(Event(b().mute_up)), Decision::Swallow);
    EXPECT_EQ(Send(Event(b().mute_down)), Decision::Pass);
    EXPECT_EQ(Send(Event(b().mute_up)), Decision::Pass);
    EXPECT_TRUE(ops.replays.empty());
}

TEST_P(GestureEngineTest, AMuteButtonHeldBeforeTheGestureKeepsItsReleaseForTheApplication) {
    EXPECT_EQ(Send(Event(b().mute_down)), Decision::Pass);
    Send(Event(b().trigger_down));
    Send(Wheel(120));
    EXPECT_EQ(Send(Event(b().mute_up)), Decision::Pass) << "its press reached the application";
    EXPECT_EQ(Send(Event(b().trigger_up)), Decision::Swallow);
}

TEST_P(GestureEngineTest, ResetReturnsToIdleAndTheApplicationNeverSeesALoneRelease) {
    // What a hook installed again, or a desktop switch, needs in each state.
    for (const bool active : {false, true}) {
        SCOPED_TRACE(active ? "active" : "holding");
        Send(Event(b().trigger_down));
        if (active) Send(Event(b().mute_down));
        engine.Reset();
        EXPECT_FALSE(engine.IsArmed());
        EXPECT_FALSE(ops.visible);
        EXPECT_TRUE(ops.replays.empty()) << "the held press is dropped, not replayed";
        // The application saw neither press: it must not see their releases.
        if (active) {
            EXPECT_EQ(Send(Event(b().mute_up)), Decision::Swallow);
        }
        EXPECT_EQ(Send(Event(b().trigger_up)), Decision::Swallow);
        // Then the buttons are the application's again.
        EXPECT_EQ(Send(Event(b().mute_down)), Decision::Pass);
        EXPECT_EQ(Send(Event(b().mute_up)), Decision::Pass);
    }
    engine.Reset();  // idle: nothing to do
    EXPECT_FALSE(ops.visible);
}

TEST_P(GestureEngineTest, EveryReleaseMatchesWhatTheApplicationSawPressed) {
    enum Kind { Send_, Reset_, Ineligible_, Missed_ };
    struct Step {
        Kind kind;
        std::uint32_t message = 0;
        Decision expected = Decision::Pass;
        std::uint32_t time = 1234;
    };
    const Decision S = Decision::Swallow, P = Decision::Pass;
    auto send = [](std::uint32_t message, Decision expected) { return Step{Send_, message, expected}; };
    const Step reset{Reset_}, ineligible{Ineligible_};
    auto missed = [](std::uint32_t message, std::uint32_t time) { return Step{Missed_, message, Decision::Pass, time}; };
    const struct {
        const char* name;
        std::vector<Step> steps;
        bool armed_after;
    } cases[] = {
        {"a mute release lost: the next ordinary click of that button keeps its release",
         {send(b().trigger_down, S), send(b().mute_down, S), send(b().trigger_up, S), send(b().mute_down, P),
          send(b().mute_up, P)},
         false},
        {"a trigger release lost after a reset: the next press starts afresh",
         {send(b().trigger_down, S), reset, send(b().trigger_down, S), send(b().trigger_up, S)}, false},
        {"an ineligible press after a lost release reaches the application with its release",
         {send(b().trigger_down, S), reset, ineligible, send(b().trigger_down, P), send(b().trigger_up, P)}, false},
        {"a drag replays the press, so its release passes",
         {send(b().trigger_down, S), send(kMove, S), send(b().trigger_up, P), send(b().trigger_up, P)}, false},
        {"a release that the witness alone saw ends the gesture",
         {send(b().trigger_down, S), send(kWheel, S), missed(b().trigger_up, 1300), send(kWheel, P),
          send(b().trigger_up, P)},
         false},
        {"a missed release before the held press does not end it",
         {send(b().trigger_down, S), missed(b().trigger_up, 1000), send(b().trigger_up, S)}, false},
        {"a missed release of the other button does not end it",
         {send(b().trigger_down, S), missed(b().mute_up, 1300)}, true},
        {"the tick count wraps", {send(b().trigger_down, S), missed(b().trigger_up, 0xFFFFFFF0u)}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeOperations fresh_ops;
        GestureEngine fresh{settings, fresh_ops};
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& step = c.steps[i];
            switch (step.kind) {
                case Send_: {
                    MouseEvent event = step.message == kWheel ? Wheel(120)
                                       : step.message == kMove ? Event(kMove, {150, 150})
                                                               : Event(step.message);
                    EXPECT_EQ(fresh.OnEvent(0, event), step.expected) << "step " << i;
                    break;
                }
                case Reset_: fresh.Reset(); break;
                case Ineligible_: fresh_ops.eligible = false; break;
                case Missed_: fresh.OnMissedRelease(step.message, step.time); break;
            }
        }
        EXPECT_EQ(fresh.IsArmed(), c.armed_after);
        if (!c.armed_after) {
            EXPECT_FALSE(fresh_ops.visible);
        }
    }
}

TEST_P(GestureEngineTest, IneligiblePressPassesAndChangesNothing) {
    ops.eligible = false;
    EXPECT_EQ(Send(Event(b().trigger_down)), Decision::Pass);
    EXPECT_FALSE(engine.IsArmed());

    ops.eligible = true;
    Send(Event(b().trigger_down, {10, 20}));
    ops.eligible = false;
    EXPECT_EQ(Send(Event(b().trigger_down, {30, 40})), Decision::Pass);
    EXPECT_TRUE(engine.IsArmed());
    EXPECT_EQ(engine.HeldPress().dx, 10);
}

TEST_P(GestureEngineTest, PressWhileArmedReplacesTheHeldPressAndKeepsTheIndicator) {
    Send(Event(b().trigger_down, {10, 20}));
    Send(Wheel(120));
    EXPECT_EQ(Send(Event(b().trigger_down, {30, 40})), Decision::Swallow);
    EXPECT_EQ(engine.HeldPress().dx, 30);
    EXPECT_EQ(engine.HeldPress().dy, 40);
    EXPECT_TRUE(ops.visible);
}

TEST_P(GestureEngineTest, InjectedAndNegativeCodeEventsPassInEveryState) {
    MouseEvent injected = Event(b().trigger_down);
    injected.flags = kInjectedFlag;
    EXPECT_EQ(Send(injected), Decision::Pass);
    EXPECT_FALSE(engine.IsArmed());
    EXPECT_EQ(engine.OnEvent(-1, Event(b().trigger_down)), Decision::Pass);
    EXPECT_FALSE(engine.IsArmed());

    Send(Event(b().trigger_down));
    for (std::uint32_t message : {kWheel, kMove, b().trigger_up, b().mute_down}) {
        MouseEvent e = Event(message, {300, 300}, 120u << 16);
        e.flags = kInjectedFlag | 0x2;
        EXPECT_EQ(Send(e), Decision::Pass) << message;
    }
    EXPECT_TRUE(engine.IsArmed());
    EXPECT_TRUE(ops.set_level_calls.empty());
    EXPECT_FALSE(ops.visible);
}

TEST_P(GestureEngineTest, OtherMessagesPassWhateverTheState) {
    for (std::uint32_t message : {0x0207u /* middle down */, 0x020Bu /* X down */, 0x0203u /* dblclk */}) {
        EXPECT_EQ(Send(Event(message)), Decision::Pass);
        Send(Event(b().trigger_down));
        EXPECT_EQ(Send(Event(message)), Decision::Pass);
        Send(Event(b().trigger_up));
    }
}

INSTANTIATE_TEST_SUITE_P(BothTriggers, GestureEngineTest, ::testing::Values(kLeftTrigger, kRightTrigger),
                         [](const auto& info) { return info.param.setting == 0 ? "Left" : "Right"; });

TEST(GestureEngineSettingsTest, NoTriggerSettingLeavesEveryEventAlone) {
    for (std::int32_t setting : {1, -1, 3, 2147483647}) {
        Settings settings{Settings::Blank{}};
        settings.mouse_button_pressed = setting;
        FakeOperations ops;
        GestureEngine engine(settings, ops);
        for (std::uint32_t message : {kLeftDown, kRightDown, kWheel, kMove, kLeftUp, kRightUp}) {
            EXPECT_EQ(engine.OnEvent(0, Event(message, {5, 5}, 120u << 16)), Decision::Pass);
        }
        EXPECT_TRUE(ops.log.empty());
    }
}

TEST(GestureEngineSettingsTest, AReloadDuringAGestureTakesEffectFromTheNextPress) {
    // The gesture goes on with the step read at each notch, but with the
    // buttons that started it: its own trigger's release ends it.
    for (const std::int32_t reloaded : {1, 2}) {
        SCOPED_TRACE(reloaded);
        Settings settings{Settings::Blank{}};
        settings.volume_delta = 10;
        FakeOperations ops;
        GestureEngine engine(settings, ops);
        engine.OnEvent(0, Event(kLeftDown, {100, 100}));
        settings.mouse_button_pressed = reloaded;  // while the trigger is held
        settings.volume_delta = 20;
        EXPECT_EQ(engine.OnEvent(0, Wheel(120)), Decision::Swallow);
        EXPECT_EQ(ops.level, 70);
        EXPECT_EQ(engine.OnEvent(0, Event(kRightDown)), Decision::Swallow) << "the gesture's mute button";
        EXPECT_TRUE(ops.muted);
        EXPECT_EQ(engine.OnEvent(0, Event(kRightUp)), Decision::Swallow);
        EXPECT_EQ(engine.OnEvent(0, Event(kLeftUp)), Decision::Swallow);
        EXPECT_FALSE(engine.IsArmed());
        EXPECT_FALSE(ops.visible) << "the indicator must not stay up";
        EXPECT_TRUE(ops.replays.empty());
        // The next press follows the new setting.
        EXPECT_EQ(engine.OnEvent(0, Event(kLeftDown)), Decision::Pass);
        EXPECT_EQ(engine.OnEvent(0, Event(kLeftUp)), Decision::Pass);
        EXPECT_EQ(engine.OnEvent(0, Event(kRightDown)), reloaded == 2 ? Decision::Swallow : Decision::Pass);
    }
}

TEST(GestureEngineStepTest, WheelArithmetic) {
    struct Case {
        int level;
        int delta;
        std::int32_t step;
        std::uint32_t expected;
    } cases[] = {
        {50, 120, 5, 55},     {50, -120, 5, 45},   {50, 60, 5, 50},      {50, -119, 5, 50},
        {50, 240, 5, 60},     {3, -120, 5, 0},     {98, 120, 5, 103},    {50, 120, 0, 50},
        {50, 120, -5, 45},    {50, -32768, 5, 0},  {50, 32767, 5, 1415}, {0, 120, 2147483647, 2147483647},
        {100, -120, -2147483647 - 1, 2147483647}, {100, 32767, 2147483647, 2147483647},
        {100, -32768, 2147483647, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GestureEngine::SteppedLevel(c.level, static_cast<std::int16_t>(c.delta), c.step), c.expected)
            << c.level << " " << c.delta << " " << c.step;
    }
}

TEST(GestureEngineStepTest, EveryWheelEventWritesTheLevelBackEvenWithoutAWholeNotch) {
    Settings settings{Settings::Blank{}};
    settings.volume_delta = 5;
    FakeOperations ops;
    ops.level = 98;
    GestureEngine engine(settings, ops);
    engine.OnEvent(0, Event(kLeftDown));
    engine.OnEvent(0, Wheel(60));
    engine.OnEvent(0, Wheel(120));
    EXPECT_EQ(ops.set_level_calls, (std::vector<std::uint32_t>{98, 103}));
    EXPECT_EQ(ops.level, 100);
}

TEST(GestureEngineStepTest, SmoothWheelDeltasAddUpToWholeNotchesPerAxisAndGesture) {
    // One step of a sequence: a wheel event, or the end of the gesture and a
    // new trigger press (by release or by reset).
    enum class Kind { Wheel, Release, Reset };
    struct Step {
        Kind kind;
        int delta = 0;
        std::uint32_t message = kWheel;
    };
    auto V = [](int delta) { return Step{Kind::Wheel, delta, kWheel}; };
    auto H = [](int delta) { return Step{Kind::Wheel, delta, kHorizontalWheel}; };
    const Step release{Kind::Release}, reset{Kind::Reset};
    const struct {
        const char* name;
        std::vector<Step> steps;
        std::vector<std::uint32_t> levels;  // SetLevel's argument at each wheel event
    } cases[] = {
        {"eight events of 15 make one step, on the eighth",
         {V(15), V(15), V(15), V(15), V(15), V(15), V(15), V(15)},
         {50, 50, 50, 50, 50, 50, 50, 55}},
        {"a change of direction starts afresh", {V(60), V(-60), V(60)}, {50, 50, 50}},
        {"one event of -240 makes two steps down", {V(-240)}, {40}},
        {"what is left over stays", {V(100), V(100), V(100), V(60)}, {50, 55, 60, 65}},
        {"downward fractions", {V(-70), V(-70), V(-100)}, {50, 45, 40}},
        {"the axes keep their own remainders", {V(60), H(60), V(60), H(-60), H(-60)}, {50, 50, 55, 55, 50}},
        {"a new gesture starts with none", {V(60), release, V(60), V(60)}, {50, 50, 55}},
        {"a reset clears them too", {H(100), reset, H(100)}, {50, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings settings{Settings::Blank{}};
        settings.volume_delta = 5;
        FakeOperations ops;
        GestureEngine engine(settings, ops);
        engine.OnEvent(0, Event(kLeftDown));
        for (const Step& step : c.steps) {
            switch (step.kind) {
                case Kind::Wheel:
                    EXPECT_EQ(engine.OnEvent(0, Wheel(step.delta, step.message)), Decision::Swallow);
                    break;
                case Kind::Release:
                    engine.OnEvent(0, Event(kLeftUp));
                    engine.OnEvent(0, Event(kLeftDown));
                    break;
                case Kind::Reset:
                    engine.Reset();
                    engine.OnEvent(0, Event(kLeftDown));
                    break;
            }
        }
        EXPECT_EQ(ops.set_level_calls, c.levels);
    }
}

}  // namespace
}  // namespace sonarel
