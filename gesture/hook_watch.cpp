#include "gesture/hook_watch.h"

namespace sonarel {

bool HookWatch::ShouldReinstall(const WitnessedEvent& event, std::uint32_t last_hook_call) {
    if (!event.button_or_wheel || event.injected || event.hook_bypassed) return false;
    // Tick counts wrap: the signed distance is right for any 24 days.
    const auto unseen_for = static_cast<std::int32_t>(event.time - last_hook_call);
    if (unseen_for <= static_cast<std::int32_t>(kGraceMs)) return false;
    if (reinstalled_ && event.time - last_reinstall_ < kMinReinstallIntervalMs) return false;
    reinstalled_ = true;
    last_reinstall_ = event.time;
    return true;
}

}  // namespace sonarel
