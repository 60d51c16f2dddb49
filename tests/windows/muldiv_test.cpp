#include <windows.h>

#include <gtest/gtest.h>

#include "indicator/gradient.h"

namespace sonarel {
namespace {

// The gradient's own MulDiv must agree with the system's, including rounding,
// a zero divisor and overflow.
TEST(MulDivWin32Test, AgreesWithTheSystemMulDiv) {
    constexpr int kMin = -2147483647 - 1;
    const int values[] = {0, 1, -1, 2, -2, 3, 7, -7, 13, 14, 127, -128, 255, -255, 65535, 2147483647, -2147483647,
                          -2147483647 - 1};
    for (int a : values) {
        for (int b : values) {
            for (int c : values) {
                // Wine's MulDiv negates both operands for a negative divisor and
                // overflows on INT_MIN; gradients only divide by a small n >= 0.
                if (c < 0 && (a == kMin || c == kMin)) continue;
                EXPECT_EQ(MulDivRounded(a, b, c), ::MulDiv(a, b, c)) << a << "*" << b << "/" << c;
            }
        }
    }
}

}  // namespace
}  // namespace sonarel
