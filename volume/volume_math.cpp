#include "volume/volume_math.h"

#include <cmath>

namespace sonarel {
namespace {

// x87 code (the x86 build) keeps intermediates at extended precision and may
// drop a cast to float or double altogether. A store through volatile rounds
// to the declared type on every compiler, whatever its flags.
template <typename T>
T Rounded(T value) {
    volatile T stored = value;
    return stored;
}

int ClampPercent(double percent) {
    if (!(percent > 0.0)) return 0;  // negative and NaN
    if (percent >= kMaxLevel) return kMaxLevel;
    return static_cast<int>(percent);
}

}  // namespace

float PercentToScalar(std::uint32_t percent) { return Rounded(static_cast<float>(Rounded(percent / 100.0))); }

int ScalarToPercent(float scalar) {
    // The float rounding is deliberate: 0.53f reads back as 52, as on the device.
    return ClampPercent(Rounded(static_cast<float>(scalar * 100.0)));
}

std::uint32_t PercentToMixerValue(std::uint32_t percent, std::uint32_t minimum, std::uint32_t maximum) {
    const double range = static_cast<std::uint32_t>(maximum - minimum);
    const double fraction = Rounded(ClampLevel(percent) / 100.0);
    const double value = Rounded(Rounded(range * fraction) + minimum);
    return value >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

int MixerValueToPercent(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum) {
    if (maximum <= minimum) return 0;
    if (value < minimum) return 0;
    const double scaled = Rounded(static_cast<double>(value - minimum) * 100.0);
    return ClampPercent(Rounded(scaled / static_cast<double>(maximum - minimum)));
}

}  // namespace sonarel
