#include "indicator/dpi.h"

#include <gtest/gtest.h>

namespace sonarel {
namespace {

TEST(DpiTest, FontHeightsAndCursorSizesScaleAsMulDivRounds) {
    const struct {
        std::int32_t value;
        std::uint32_t to, from;
        std::int32_t expected;
    } cases[] = {
        // The GUI font's height (-11 at 96) and a 32-pixel cursor at 100, 125, 150 and 200 %.
        {-11, 96, 96, -11},  {-11, 120, 96, -14}, {-11, 144, 96, -17}, {-11, 192, 96, -22},
        {32, 96, 96, 32},    {32, 120, 96, 40},   {32, 144, 96, 48},   {32, 192, 96, 64},
        // From a system DPI of 144 down to a 100 % monitor, and halves away from zero.
        {-17, 96, 144, -11}, {48, 96, 144, 32},   {3, 1, 2, 2},        {-3, 1, 2, -2},
        {1, 1, 3, 0},        {7, 120, 0, 0},      {2147483647, 192, 96, 2147483647},
        {-2147483647 - 1, 192, 96, -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleForDpi(c.value, c.to, c.from), c.expected) << c.value << " " << c.to << "/" << c.from;
    }
}

TEST(DpiTest, EachDpiIsMadeOnce) {
    PerDpi<int> sizes;
    int made = 0;
    auto make = [&](std::uint32_t dpi) {
        ++made;
        return static_cast<int>(dpi) * 2;
    };
    EXPECT_EQ(sizes.At(96, make), 192);
    EXPECT_EQ(sizes.At(144, make), 288);
    EXPECT_EQ(sizes.At(96, make), 192);
    EXPECT_EQ(sizes.At(144, make), 288);
    EXPECT_EQ(made, 2) << "the cursor moving between two monitors measures each once";
    EXPECT_EQ(sizes.Count(), 2u);
}

}  // namespace
}  // namespace sonarel
