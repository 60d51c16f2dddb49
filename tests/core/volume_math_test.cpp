#include "volume/volume_math.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "gesture/gesture_engine.h"

namespace sonarel {
namespace {

TEST(EndpointConversionTest, EveryLevelRoundTripsExcept53And59) {
    for (std::uint32_t level = 0; level <= 100; ++level) {
        const int expected = level == 53 ? 52 : level == 59 ? 58 : static_cast<int>(level);
        EXPECT_EQ(ScalarToPercent(PercentToScalar(level)), expected) << level;
    }
}

TEST(EndpointConversionTest, ReadingTruncatesAndStaysInRange) {
    EXPECT_EQ(ScalarToPercent(0.999f), 99);
    EXPECT_EQ(ScalarToPercent(0.005f), 0);
    EXPECT_EQ(ScalarToPercent(1.0f), 100);
    EXPECT_EQ(ScalarToPercent(-0.5f), 0);
    EXPECT_EQ(ScalarToPercent(7.0f), 100);
    EXPECT_EQ(ScalarToPercent(std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(PercentToScalar(100), 1.0f);
    EXPECT_EQ(PercentToScalar(0), 0.0f);
}

TEST(LevelClampTest, AboveOneHundredAndNegativeValuesBecomeOneHundred) {
    EXPECT_EQ(ClampLevel(150), 100u);
    EXPECT_EQ(ClampLevel(100), 100u);
    EXPECT_EQ(ClampLevel(0), 0u);
    EXPECT_EQ(ClampLevel(static_cast<std::uint32_t>(-3)), 100u);
}

TEST(MixerConversionTest, FullRangeFaderLosesOnePercentExceptAtMultiplesOfTwenty) {
    EXPECT_EQ(PercentToMixerValue(55, 0, 65535), 36044u);
    EXPECT_EQ(MixerValueToPercent(36044, 0, 65535), 54);
    EXPECT_EQ(PercentToMixerValue(54, 0, 65535), 35388u);
    EXPECT_EQ(MixerValueToPercent(35388, 0, 65535), 53);
    for (std::uint32_t level = 0; level <= 100; ++level) {
        const int expected = level % 20 == 0 ? static_cast<int>(level) : static_cast<int>(level) - 1;
        EXPECT_EQ(MixerValueToPercent(PercentToMixerValue(level, 0, 65535), 0, 65535), expected) << level;
    }
}

TEST(MixerConversionTest, NotchesThroughTheFaderDriftAsTheLevelIsReadBack) {
    // The engine reads the level before every notch, so the loss accumulates.
    auto notches = [](std::uint32_t start, int delta, int count) {
        std::uint32_t value = PercentToMixerValue(start, 0, 65535);
        std::vector<int> read;
        for (int i = 0; i < count; ++i) {
            const int level = MixerValueToPercent(value, 0, 65535);
            value = PercentToMixerValue(ClampLevel(GestureEngine::SteppedLevel(level, delta, 5)), 0, 65535);
            read.push_back(MixerValueToPercent(value, 0, 65535));
        }
        return read;
    };
    EXPECT_EQ(notches(50, 120, 3), (std::vector<int>{53, 57, 61}));
    EXPECT_EQ(notches(100, -120, 3), (std::vector<int>{94, 88, 82}));
    EXPECT_EQ(notches(100, -120, 20).back(), 0);
    EXPECT_EQ(notches(50, 60, 2), (std::vector<int>{48, 47}));  // partial notches still rewrite
}

TEST(MixerConversionTest, DegenerateAndOffsetRangesStayDefined) {
    EXPECT_EQ(MixerValueToPercent(7, 7, 7), 0);  // minimum == maximum
    EXPECT_EQ(MixerValueToPercent(3, 10, 5), 0);
    EXPECT_EQ(MixerValueToPercent(2, 10, 110), 0);  // below the minimum
    EXPECT_EQ(MixerValueToPercent(500, 10, 110), 100);
    EXPECT_EQ(PercentToMixerValue(50, 100, 300), 200u);
    EXPECT_EQ(MixerValueToPercent(200, 100, 300), 50);
    EXPECT_EQ(PercentToMixerValue(100, 0, 0xFFFFFFFF), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace sonarel
