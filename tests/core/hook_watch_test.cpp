#include "gesture/hook_watch.h"

#include <vector>

#include <gtest/gtest.h>

namespace sonarel {
namespace {

struct Observation {
    WitnessedEvent event;
    std::uint32_t last_hook_call;
    bool reinstall;
};

WitnessedEvent Button(std::uint32_t time) { return {time, true, false, false}; }
WitnessedEvent Move(std::uint32_t time) { return {time, false, false, false}; }
WitnessedEvent Injected(std::uint32_t time) { return {time, true, true, false}; }
WitnessedEvent Bypassed(std::uint32_t time) { return {time, true, false, true}; }

TEST(HookWatchTest, DecidesFromWhatTheWitnessSawAndTheHookDidNot) {
    struct Case {
        const char* name;
        std::vector<Observation> observations;  // in order, one watch
    };
    const Case cases[] = {
        {"hook alive: it saw each event first", {{Button(1000), 1000, false}, {Button(1500), 1500, false}}},
        {"a moment between the two reports is no loss", {{Button(1400), 1000, false}}},
        {"hook lost, found at the next button press", {{Move(5000), 1000, false}, {Button(5200), 1000, true}}},
        {"only mouse moves while lost", {{Move(2000), 1000, false}, {Move(9000), 1000, false}}},
        {"injected input, replays included, is not the hook's to see",
         {{Injected(5000), 1000, false}, {Injected(5001), 1000, false}}},
        {"an elevated foreground window keeps the system from calling the hook", {{Bypassed(5000), 1000, false}}},
        {"lost during a gesture: the trigger's release reaches only the witness", {{Button(3000), 1200, true}}},
        {"a burst of disagreements re-installs once, then again after the interval",
         {{Button(5000), 1000, true},
          {Button(5100), 1000, false},
          {Button(14999), 1000, false},
          {Button(15000), 1000, true}}},
        {"the tick count wraps", {{Button(0x50), 0xFFFFFF00u, false}, {Button(0x400), 0xFFFFFF00u, true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HookWatch watch;
        for (size_t i = 0; i < c.observations.size(); ++i) {
            const Observation& o = c.observations[i];
            EXPECT_EQ(watch.ShouldReinstall(o.event, o.last_hook_call), o.reinstall) << "observation " << i;
        }
    }
}

}  // namespace
}  // namespace sonarel
