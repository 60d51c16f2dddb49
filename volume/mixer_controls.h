// Which mixer controls the backend may address, and the reads and writes
// through them. Device control ids commonly start at 0, so a control that was
// not found must never be addressed by a default id: it could name another
// control, such as a fader that a mute press would then set to 0 or 1.
#pragma once

#include <cstdint>
#include <optional>

namespace sonarel {

// What the lookup found on the speakers line.
struct MixerControls {
    std::optional<std::uint32_t> volume_id;
    std::optional<std::uint32_t> mute_id;
    std::uint32_t volume_minimum = 0;
    std::uint32_t volume_maximum = 0;
};

// One 32-bit value of a control, for all channels.
class MixerDevice {
public:
    virtual bool GetValue(std::uint32_t control_id, std::uint32_t& value) const = 0;
    virtual bool SetValue(std::uint32_t control_id, std::uint32_t value) const = 0;

protected:
    ~MixerDevice() = default;
};

// Each reports success; a missing control fails without touching the device.
bool ReadMixerLevel(const MixerControls& controls, const MixerDevice& device, int& percent);  // 0 on failure
bool WriteMixerLevel(const MixerControls& controls, const MixerDevice& device, std::uint32_t percent);
bool ReadMixerMute(const MixerControls& controls, const MixerDevice& device);  // false on failure
bool WriteMixerMute(const MixerControls& controls, const MixerDevice& device, bool muted);

}  // namespace sonarel
