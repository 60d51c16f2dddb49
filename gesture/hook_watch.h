// Notices that the low-level mouse hook is gone. The system removes a hook
// whose procedure answers too slowly (LowLevelHooksTimeout) without telling
// its program. A second, independent report of the mouse, raw input, keeps
// arriving then: a button or wheel event that it reports and that the hook
// has still not seen a moment later means the hook must be installed again.
//
// Raw input is produced independently of low-level hooks, so its report of
// an event may be retrieved before or after the hook's call for the same
// event: the judgement waits for the hook to have had its chance.
#pragma once

#include <cstdint>

#include "gesture/gesture_engine.h"

namespace sonarel {

// The hook's clock: the time stamp of the latest real event that the hook
// procedure saw. An injecting program chooses its events' time stamps, so
// injected events never move it.
struct HookClock {
    std::uint32_t last_real_event = 0;
    void Note(std::uint32_t flags, std::uint32_t time) {
        if ((flags & kInjectedFlag) == 0) last_real_event = time;
    }
};

// One event as the witness reports it.
struct WitnessedEvent {
    std::uint32_t time = 0;        // the event's time stamp, in the hook's clock (ms)
    bool button_or_wheel = false;  // moves alone prove nothing and are many
    bool injected = false;         // no device: SendInput, the engine's own replays included
    // The system does not call our hook for this event: the foreground window
    // belongs to a program of a higher (or unknown) integrity level.
    bool hook_bypassed = false;
    std::uint8_t released = 0;  // the buttons it releases: kWitnessedLeft, kWitnessedRight
};
inline constexpr std::uint8_t kWitnessedLeft = 1, kWitnessedRight = 2;

// What a judgement found.
struct Judgement {
    bool reinstall = false;  // the hook is lost
    // Real releases witnessed while the engine held a trigger, for the engine
    // to match against its gesture (GestureEngine::OnMissedRelease): the
    // latest of each button.
    std::uint8_t releases = 0;
    std::uint32_t release_time[2] = {};  // left, right
};

class HookWatch {
public:
    // How long after an unmatched event the hook is judged.
    static constexpr std::uint32_t kJudgeAfterMs = 250;
    // The least time between re-installs. It doubles after each re-install
    // that another disagreement follows within kRepeatWithinMs (another
    // program that keeps hooking ahead of ours), up to kLongestIntervalMs, and
    // returns to the first after that long without a re-install.
    static constexpr std::uint32_t kFirstIntervalMs = 10000;
    static constexpr std::uint32_t kRepeatWithinMs = 60000;
    static constexpr std::uint32_t kLongestIntervalMs = 600000;

    // A report of the witness. `last_hook_call` is the time stamp of the
    // latest real event the hook procedure saw (or of its installation);
    // `trigger_held`: the engine holds a trigger press now. True when the
    // judgement must be scheduled kJudgeAfterMs from now: the hook has not
    // seen the event yet, or it releases a button while a trigger is held,
    // and no judgement is pending.
    bool OnWitnessed(const WitnessedEvent& event, std::uint32_t last_hook_call, bool trigger_held = false);

    // The scheduled judgement: the hook must be installed again when it has
    // still seen nothing at or after the earliest unmatched event. Nothing is
    // pending afterwards.
    Judgement Judge(std::uint32_t last_hook_call);

    bool IsJudgementPending() const { return pending_ || releases_.releases != 0; }
    std::uint32_t ReinstallInterval() const { return interval_; }

private:
    bool JudgeLoss(std::uint32_t last_hook_call);

    bool pending_ = false;
    std::uint32_t pending_since_ = 0;  // the earliest unmatched event's time
    Judgement releases_;               // the releases still to be judged
    bool reinstalled_ = false;
    bool repeated_ = false;  // a disagreement followed the latest re-install soon
    std::uint32_t last_reinstall_ = 0;
    std::uint32_t interval_ = kFirstIntervalMs;
};

}  // namespace sonarel
