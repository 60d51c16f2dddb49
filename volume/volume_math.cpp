#include "volume/volume_math.h"

#include <cmath>

namespace sonarel {
namespace {

int ClampPercent(double percent) {
    if (!(percent > 0.0)) return 0;  // negative and NaN
    if (percent >= kMaxLevel) return kMaxLevel;
    return static_cast<int>(percent);
}

}  // namespace

float PercentToScalar(std::uint32_t percent) { return static_cast<float>(percent / 100.0); }

int ScalarToPercent(float scalar) {
    // The float rounding is deliberate: 0.53f reads back as 52, as on the device.
    return ClampPercent(static_cast<float>(scalar * 100.0));
}

std::uint32_t PercentToMixerValue(std::uint32_t percent, std::uint32_t minimum, std::uint32_t maximum) {
    const double range = static_cast<std::uint32_t>(maximum - minimum);
    const double value = range * (ClampLevel(percent) / 100.0) + minimum;
    return value >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

int MixerValueToPercent(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum) {
    if (maximum <= minimum) return 0;
    if (value < minimum) return 0;
    return ClampPercent(static_cast<double>(value - minimum) * 100.0 / static_cast<double>(maximum - minimum));
}

}  // namespace sonarel
