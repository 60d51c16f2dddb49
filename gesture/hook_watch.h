// Notices that the low-level mouse hook is gone. The system removes a hook
// whose procedure answers too slowly (LowLevelHooksTimeout) without telling
// its program. A second, independent report of the mouse, raw input, keeps
// arriving then: a button or wheel event that it reports and the hook did not
// see within a short grace period means the hook must be installed again.
#pragma once

#include <cstdint>

namespace sonarel {

// One event as the witness reports it.
struct WitnessedEvent {
    std::uint32_t time = 0;        // the event's time stamp, in the hook's clock (ms)
    bool button_or_wheel = false;  // moves alone prove nothing and are many
    bool injected = false;         // no device: SendInput, the engine's own replays included
    // The system does not call our hook for this event: the foreground window
    // belongs to a program of a higher (or unknown) integrity level.
    bool hook_bypassed = false;
};

class HookWatch {
public:
    static constexpr std::uint32_t kGraceMs = 500;
    // However often the witness disagrees, at most one re-install this often.
    static constexpr std::uint32_t kMinReinstallIntervalMs = 10000;

    // True when the hook must be installed again. `last_hook_call` is the time
    // stamp of the latest event the hook procedure saw (or of its installation).
    bool ShouldReinstall(const WitnessedEvent& event, std::uint32_t last_hook_call);

private:
    bool reinstalled_ = false;
    std::uint32_t last_reinstall_ = 0;
};

}  // namespace sonarel
