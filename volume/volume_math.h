// Percent conversions of the two volume backends.
#pragma once

#include <cstdint>

namespace sonarel {

inline constexpr std::uint32_t kMaxLevel = 100;

// Unsigned on purpose: a negative level passed in becomes 100 as well.
constexpr std::uint32_t ClampLevel(std::uint32_t percent) { return percent > kMaxLevel ? kMaxLevel : percent; }

// Endpoint scalar: percent / 100 in double, then rounded to float.
float PercentToScalar(std::uint32_t percent);
// scalar * 100 in double, rounded to float, truncated. Out-of-range or NaN
// scalars from a misbehaving device still give 0..100.
int ScalarToPercent(float scalar);

// Mixer fader value for a percent (<= 100): (max - min) * (percent / 100) + min, truncated.
std::uint32_t PercentToMixerValue(std::uint32_t percent, std::uint32_t minimum, std::uint32_t maximum);
// (value - min) * 100 / (max - min), truncated and kept within 0..100; a
// control whose range is empty reads as 0.
int MixerValueToPercent(std::uint32_t value, std::uint32_t minimum, std::uint32_t maximum);

}  // namespace sonarel
