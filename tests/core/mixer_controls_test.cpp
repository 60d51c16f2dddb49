#include "volume/mixer_controls.h"

#include <map>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace sonarel {
namespace {

// A device whose controls are numbered from 0, as many are: control 0 is
// some other fader that a default id would hit.
class FakeMixer final : public MixerDevice {
public:
    static constexpr std::uint32_t kOtherFader = 0;
    static constexpr std::uint32_t kVolume = 1;
    static constexpr std::uint32_t kMute = 2;

    bool GetValue(std::uint32_t id, std::uint32_t& value) const override {
        const auto found = values.find(id);
        if (found == values.end()) return false;
        value = found->second;
        return true;
    }
    bool SetValue(std::uint32_t id, std::uint32_t value) const override {
        writes.emplace_back(id, value);
        values[id] = value;
        return true;
    }

    mutable std::map<std::uint32_t, std::uint32_t> values{{kOtherFader, 65535}, {kVolume, 32768}, {kMute, 1}};
    mutable std::vector<std::pair<std::uint32_t, std::uint32_t>> writes;
};

TEST(MixerControlsTest, OnlyControlsTheLookupFoundAreAddressed) {
    struct Case {
        const char* name;
        bool volume_found;
        bool mute_found;
    };
    for (const Case c : {Case{"both", true, true}, Case{"no volume control", false, true},
                         Case{"no mute control", true, false}, Case{"neither", false, false}}) {
        SCOPED_TRACE(c.name);
        FakeMixer device;
        MixerControls controls;
        controls.volume_maximum = 65535;
        if (c.volume_found) controls.volume_id = FakeMixer::kVolume;
        if (c.mute_found) controls.mute_id = FakeMixer::kMute;

        int percent = -1;
        EXPECT_EQ(ReadMixerLevel(controls, device, percent), c.volume_found);
        EXPECT_EQ(percent, c.volume_found ? 50 : 0);
        EXPECT_EQ(ReadMixerMute(controls, device), c.mute_found);  // the device holds "muted"
        EXPECT_EQ(WriteMixerLevel(controls, device, 20), c.volume_found);
        EXPECT_EQ(WriteMixerMute(controls, device, false), c.mute_found);

        std::vector<std::pair<std::uint32_t, std::uint32_t>> expected;
        if (c.volume_found) expected.emplace_back(FakeMixer::kVolume, 13107);
        if (c.mute_found) expected.emplace_back(FakeMixer::kMute, 0);
        EXPECT_EQ(device.writes, expected);
        EXPECT_EQ(device.values[FakeMixer::kOtherFader], 65535u) << "the other control is never touched";
    }
}

TEST(MixerControlsTest, AFoundControlThatFailsReadsAsTheFailureValues) {
    FakeMixer device;
    device.values.clear();  // every transfer fails
    MixerControls controls;
    controls.volume_id = FakeMixer::kVolume;
    controls.mute_id = FakeMixer::kMute;
    controls.volume_maximum = 65535;
    int percent = -1;
    EXPECT_FALSE(ReadMixerLevel(controls, device, percent));
    EXPECT_EQ(percent, 0);
    EXPECT_FALSE(ReadMixerMute(controls, device));
}

}  // namespace
}  // namespace sonarel
