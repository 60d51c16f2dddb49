// Band arithmetic of the indicator's vertical two-colour gradient: after a
// solid fill with the bottom colour, bands two rows high from the top, band i
// (i = 0, 2, 4, ... <= n, n = height - 2) blending each channel by MulDiv(d, i, n).
#pragma once

#include <cstdint>

#include "common/color.h"
#include "common/geometry.h"

namespace sonarel {

// The Win32 MulDiv: the 64-bit product divided by c, halves rounded away from
// zero; -1 when c is 0 or the result does not fit.
int MulDivRounded(int a, int b, int c);

class VerticalGradient {
public:
    VerticalGradient(const Rect& area, ColorRef top, ColorRef bottom)
        : area_(area), top_(top), bottom_(bottom), divisor_((area.bottom - area.top) - 2) {}

    ColorRef SolidColor() const { return bottom_; }
    // floor(n / 2) + 1 bands; none when the area is lower than two rows.
    int BandCount() const { return divisor_ < 0 ? 0 : divisor_ / 2 + 1; }
    Rect BandRect(int band) const;
    ColorRef BandColor(int band) const;

private:
    Rect area_;
    ColorRef top_;
    ColorRef bottom_;
    int divisor_;
};

}  // namespace sonarel
