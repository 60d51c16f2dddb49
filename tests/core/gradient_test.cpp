#include "indicator/gradient.h"

#include <vector>

#include <gtest/gtest.h>

namespace sonarel {
namespace {

constexpr ColorRef kTop = MakeColor(128, 255, 0);
constexpr ColorRef kBottom = MakeColor(0, 255, 255);

std::vector<ColorRef> BandColors(int height, ColorRef top = kTop, ColorRef bottom = kBottom) {
    const VerticalGradient gradient({0, 0, 50, height}, top, bottom);
    std::vector<ColorRef> colors;
    for (int band = 0; band < gradient.BandCount(); ++band) colors.push_back(gradient.BandColor(band));
    return colors;
}

TEST(GradientTest, WorkedExampleOfHeightSixteen) {
    EXPECT_EQ(BandColors(16), (std::vector<ColorRef>{
                                  MakeColor(128, 255, 0), MakeColor(110, 255, 36), MakeColor(91, 255, 73),
                                  MakeColor(73, 255, 109), MakeColor(55, 255, 146), MakeColor(37, 255, 182),
                                  MakeColor(18, 255, 219), MakeColor(0, 255, 255)}));
}

TEST(GradientTest, WorkedExampleOfHeightFifteenLeavesTheLastRowToTheSolidFill) {
    EXPECT_EQ(BandColors(15), (std::vector<ColorRef>{
                                  MakeColor(128, 255, 0), MakeColor(108, 255, 39), MakeColor(89, 255, 78),
                                  MakeColor(69, 255, 118), MakeColor(49, 255, 157), MakeColor(30, 255, 196),
                                  MakeColor(10, 255, 235)}));
    const VerticalGradient gradient({3, 10, 50, 25}, kTop, kBottom);
    EXPECT_EQ(gradient.BandRect(6), (Rect{3, 22, 50, 24}));  // row 14 (y 24) stays solid
    EXPECT_EQ(gradient.SolidColor(), kBottom);
}

TEST(GradientTest, BandsTileEvenHeightsWithoutOverlap) {
    const VerticalGradient gradient({0, 5, 10, 25}, kTop, kBottom);
    ASSERT_EQ(gradient.BandCount(), 10);
    for (int band = 0; band < gradient.BandCount(); ++band) {
        EXPECT_EQ(gradient.BandRect(band).top, 5 + 2 * band);
        EXPECT_EQ(gradient.BandRect(band).bottom, 7 + 2 * band);
    }
}

TEST(GradientTest, LowAreas) {
    EXPECT_TRUE(BandColors(0).empty());
    EXPECT_TRUE(BandColors(1).empty());  // n < 0: only the solid fill
    EXPECT_EQ(BandColors(2), (std::vector<ColorRef>{kTop}));  // n = 0: one band of the top colour
    EXPECT_EQ(BandColors(3), (std::vector<ColorRef>{kTop}));
    EXPECT_EQ(BandColors(4), (std::vector<ColorRef>{kTop, kBottom}));
}

TEST(GradientTest, EqualColoursGiveOneUniformColour) {
    for (ColorRef c : BandColors(30, 0x123456, 0x123456)) EXPECT_EQ(c, 0x123456u);
}

TEST(MulDivTest, RoundsHalvesAwayFromZero) {
    const struct {
        int a, b, c, expected;
    } cases[] = {
        {1, 2, 4, 1},   {-1, 2, 4, -1}, {1, 1, 4, 0},    {-1, 1, 4, 0},   {-128, 2, 14, -18},
        {255, 4, 14, 73}, {3, 1, 2, 2}, {-3, 1, 2, -2},  {3, 1, -2, -2},  {-3, -1, -2, -2},
        {7, 0, 3, 0},   {5, 0, 0, -1},  {2147483647, 2, 1, -1}, {2147483647, 2, 2, 2147483647},
        {-2147483647, 1, 1, -2147483647}, {-2147483647 - 1, 1, 1, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

}  // namespace
}  // namespace sonarel
