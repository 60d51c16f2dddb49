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

bool HookWatch::OnWitnessed(const WitnessedEvent& event, std::uint32_t last_hook_call) {
    if (!event.button_or_wheel || event.injected || event.hook_bypassed) return false;
    if (HookSaw(event.time, last_hook_call) || pending_) return false;
    pending_ = true;
    pending_since_ = event.time;
    return true;
}

bool HookWatch::Judge(std::uint32_t last_hook_call) {
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
