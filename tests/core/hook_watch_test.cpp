#include "gesture/hook_watch.h"

#include <vector>

#include <gtest/gtest.h>

namespace sonarel {
namespace {

WitnessedEvent Button(std::uint32_t time) { return {time, true, false, false}; }
WitnessedEvent Move(std::uint32_t time) { return {time, false, false, false}; }
WitnessedEvent Injected(std::uint32_t time) { return {time, true, true, false}; }
WitnessedEvent Bypassed(std::uint32_t time) { return {time, true, false, true}; }

// One step of a sequence against one watch: a report of the witness (the
// answer: schedule a judgement) or the judgement itself (the answer:
// re-install), each with the hook's clock at that moment.
struct Step {
    enum Kind { Witness, Judge } kind;
    WitnessedEvent event;
    std::uint32_t hook_clock;
    bool answer;
};
Step Witnessed(WitnessedEvent event, std::uint32_t hook_clock, bool schedule) {
    return {Step::Witness, event, hook_clock, schedule};
}
Step Judged(std::uint32_t hook_clock, bool reinstall) { return {Step::Judge, {}, hook_clock, reinstall}; }

TEST(HookWatchTest, JudgesOnlyAfterTheHookHasHadItsChance) {
    const struct {
        const char* name;
        std::vector<Step> steps;
    } cases[] = {
        {"the hook saw the event first", {Witnessed(Button(1000), 1000, false), Judged(1000, false)}},
        {"the raw event arrives before the hook's call of the same event",
         {Witnessed(Button(5000), 1000, true), Judged(5000, false)}},
        {"a raw event whose hook call never comes", {Witnessed(Button(5000), 1000, true), Judged(1000, true)}},
        {"the earliest unmatched event is judged, once",
         {Witnessed(Button(5000), 1000, true), Witnessed(Button(5200), 1000, false), Judged(4999, true)}},
        {"any later event that the hook saw proves it alive",
         {Witnessed(Button(5000), 1000, true), Witnessed(Button(5200), 1000, false), Judged(5100, false)}},
        {"moves prove nothing", {Witnessed(Move(9000), 1000, false), Judged(1000, false)}},
        {"injected input, replays included, is not the hook's to see",
         {Witnessed(Injected(9000), 1000, false), Judged(1000, false)}},
        {"an elevated foreground window keeps the system from calling the hook",
         {Witnessed(Bypassed(9000), 1000, false), Judged(1000, false)}},
        {"nothing pending: no judgement", {Judged(0, false)}},
        {"the tick count wraps: lost",
         {Witnessed(Button(0x50), 0xFFFFFF00u, true), Judged(0xFFFFFF00u, true)}},
        {"the tick count wraps: alive", {Witnessed(Button(0xFFFFFFF0u), 0x10, false)}},
        {"a second loss later is judged afresh",
         {Witnessed(Button(5000), 1000, true), Judged(1000, true), Witnessed(Button(30000), 5000, true),
          Judged(5000, true)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HookWatch watch;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            const bool answer = s.kind == Step::Witness ? watch.OnWitnessed(s.event, s.hook_clock)
                                                        : watch.Judge(s.hook_clock).reinstall;
            EXPECT_EQ(answer, s.answer) << "step " << i;
        }
        EXPECT_FALSE(watch.IsJudgementPending()) << "every case ends judged or with nothing scheduled";
    }
}

TEST(HookWatchTest, RepeatedDisagreementBacksOffAndReturns) {
    HookWatch watch;
    // A disagreement at `time` that the hook never matches; the answer and the
    // interval after it.
    const struct {
        std::uint32_t time;
        bool reinstall;
        std::uint32_t interval;
    } steps[] = {
        {5000, true, 10000},      // the first loss
        {6000, false, 20000},     // soon after: another program hooks ahead of ours
        {15000, false, 20000},    // once per re-install
        {25000, true, 20000},     // 20 s after the last re-install
        {26000, false, 40000},
        {65000, true, 40000},
        {66000, false, 80000},
        {144000, false, 80000},
        {145000, true, 80000},
        {146000, false, 160000},
        {305000, true, 160000},
        {306000, false, 320000},
        {625000, true, 320000},
        {626000, false, 600000},  // at most 10 min
        {1225000, true, 10000},   // 10 min without a re-install: back to the first interval
        {1226000, false, 20000},
        {1400000, true, 20000},   // later than the repeat window: the interval stays
        {1470000, true, 20000},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.time);
        ASSERT_TRUE(watch.OnWitnessed(Button(s.time), 0));
        EXPECT_EQ(watch.Judge(0).reinstall, s.reinstall);
        EXPECT_EQ(watch.ReinstallInterval(), s.interval);
    }
}

TEST(HookWatchTest, RealReleasesWhileATriggerIsHeldAreHandedToTheEngine) {
    auto release = [](std::uint32_t time, std::uint8_t buttons, bool bypassed = false, bool injected = false) {
        WitnessedEvent event{time, true, injected, bypassed};
        event.released = buttons;
        return event;
    };
    HookWatch watch;
    // The hook saw it too: no loss, but the engine is asked all the same (it
    // knows whether the release reached it).
    EXPECT_TRUE(watch.OnWitnessed(release(1000, kWitnessedLeft), 1000, true));
    EXPECT_FALSE(watch.OnWitnessed(release(1100, kWitnessedLeft), 1100, true)) << "already scheduled";
    Judgement j = watch.Judge(1100);
    EXPECT_FALSE(j.reinstall);
    EXPECT_EQ(j.releases, kWitnessedLeft);
    EXPECT_EQ(j.release_time[0], 1100u) << "the latest release of the button";
    EXPECT_FALSE(watch.IsJudgementPending());

    // An elevated window in front: the hook is not called, yet the release counts.
    EXPECT_TRUE(watch.OnWitnessed(release(2000, kWitnessedRight, true), 1500, true));
    j = watch.Judge(1500);
    EXPECT_FALSE(j.reinstall) << "a bypassed hook is no lost hook";
    EXPECT_EQ(j.releases, kWitnessedRight);
    EXPECT_EQ(j.release_time[1], 2000u);

    // No trigger held, or another program's injected release: nothing to judge.
    EXPECT_FALSE(watch.OnWitnessed(release(3000, kWitnessedLeft), 3000, false));
    EXPECT_FALSE(watch.OnWitnessed(release(3100, kWitnessedLeft, false, true), 3000, true));
    EXPECT_FALSE(watch.IsJudgementPending());
}

TEST(HookClockTest, InjectedEventsNeverMoveTheHooksClock) {
    HookClock clock{100};
    clock.Note(0, 200);
    EXPECT_EQ(clock.last_real_event, 200u);
    clock.Note(kInjectedFlag, 0x7FFFFFFF);  // a time the injecting program chose
    clock.Note(kInjectedFlag | 0x2, 300);
    EXPECT_EQ(clock.last_real_event, 200u);
    clock.Note(0, 150);
    EXPECT_EQ(clock.last_real_event, 150u);
}

}  // namespace
}  // namespace sonarel
