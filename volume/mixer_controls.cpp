#include "volume/mixer_controls.h"

#include "volume/volume_math.h"

namespace sonarel {

bool ReadMixerLevel(const MixerControls& controls, const MixerDevice& device, int& percent) {
    percent = 0;
    std::uint32_t value = 0;
    if (!controls.volume_id || !device.GetValue(*controls.volume_id, value)) return false;
    percent = MixerValueToPercent(value, controls.volume_minimum, controls.volume_maximum);
    return true;
}

bool WriteMixerLevel(const MixerControls& controls, const MixerDevice& device, std::uint32_t percent) {
    return controls.volume_id &&
           device.SetValue(*controls.volume_id,
                           PercentToMixerValue(percent, controls.volume_minimum, controls.volume_maximum));
}

bool ReadMixerMute(const MixerControls& controls, const MixerDevice& device) {
    std::uint32_t value = 0;
    return controls.mute_id && device.GetValue(*controls.mute_id, value) && value != 0;
}

bool WriteMixerMute(const MixerControls& controls, const MixerDevice& device, bool muted) {
    return controls.mute_id && device.SetValue(*controls.mute_id, muted ? 1 : 0);
}

}  // namespace sonarel
