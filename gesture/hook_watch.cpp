#include "gesture/hook_watch.h"

#include <algorithm>

namespace sonarel {
namespace {

// Has the hook seen an event at or after `time`? Tick counts wrap: the signed
// distance is right for any 24 days.
bool HookSaw(std::uint32_t time, std::uint32_t last_hook_call) {
    return static_cast<std::int32_t>(last_hook_call - time) >= 0;
}

}  // namespace

bool HookWatch::OnWitnessed(const WitnessedEvent& event, std::uint32_t last_hook_call, bool trigger_held) {
    if (!event.button_or_wheel || event.injected) return false;
    const bool was_pending = IsJudgementPending();
    // A release that the hook may never pass to the engine, bypassed or not.
    if (trigger_held && event.released != 0) {
        releases_.releases |= event.released;
        if (event.released & kWitnessedLeft) releases_.release_time[0] = event.time;
        if (event.released & kWitnessedRight) releases_.release_time[1] = event.time;
    }
    if (!event.hook_bypassed && !HookSaw(event.time, last_hook_call) && !pending_) {
        pending_ = true;
        pending_since_ = event.time;
    }
    return !was_pending && IsJudgementPending();
}

Judgement HookWatch::Judge(std::uint32_t last_hook_call) {
    Judgement judgement = releases_;
    releases_ = Judgement{};
    judgement.reinstall = JudgeLoss(last_hook_call);
    return judgement;
}

bool HookWatch::JudgeLoss(std::uint32_t last_hook_call) {
    if (!pending_) return false;
    pending_ = false;
    const std::uint32_t now = pending_since_;
    if (HookSaw(now, last_hook_call)) return false;
    if (reinstalled_) {
        const std::uint32_t since = now - last_reinstall_;
        if (since >= kLongestIntervalMs) {
            interval_ = kFirstIntervalMs;
        } else if (since < kRepeatWithinMs && !repeated_) {
            repeated_ = true;
            interval_ = std::min(interval_ * 2, kLongestIntervalMs);
        }
        if (since < interval_) return false;
    }
    reinstalled_ = true;
    repeated_ = false;
    last_reinstall_ = now;
    return true;
}

}  // namespace sonarel
