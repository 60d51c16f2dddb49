#include "indicator/gradient.h"

namespace sonarel {

int MulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t product = std::int64_t{a} * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    const std::int64_t half = divisor / 2;
    const std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > 2147483647 || result < -2147483647) return -1;
    return static_cast<int>(result);
}

Rect VerticalGradient::BandRect(int band) const {
    const int row = area_.top + 2 * band;
    return Rect{area_.left, row, area_.right, row + 2};
}

ColorRef VerticalGradient::BandColor(int band) const {
    // A two-row area has a single band and n = 0, which MulDiv cannot divide
    // by; that band takes the top colour.
    if (divisor_ == 0) return top_;
    const int i = 2 * band;
    auto channel = [&](int shift) {
        const int a = (top_ >> shift) & 0xFF;
        const int d = static_cast<int>((bottom_ >> shift) & 0xFF) - a;
        return static_cast<ColorRef>((a + MulDivRounded(d, i, divisor_)) & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

}  // namespace sonarel
