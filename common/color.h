// COLORREF arithmetic: red in the low byte, then green, then blue.
#pragma once

#include <cstdint>

namespace sonarel {

using ColorRef = std::uint32_t;

constexpr std::uint8_t RedOf(ColorRef c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(ColorRef c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(ColorRef c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr ColorRef MakeColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return ColorRef{r} | (ColorRef{g} << 8) | (ColorRef{b} << 16);
}

}  // namespace sonarel
