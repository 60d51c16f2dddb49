// VolumeControl against what the test prefix offers: no audio device at all
// (Wine: GetDefaultAudioEndpoint fails with 0x80070490, mixerGetNumDevs is 0).
// The end-to-end tests cover a working endpoint.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "volume/volume_control.h"
#include "volume/volume_math.h"

namespace sonarel {
namespace {

class ComApartment {
public:
    ComApartment() { CoInitialize(nullptr); }
    ~ComApartment() { CoUninitialize(); }
};

TEST(VolumeControlTest, WithoutAnyDeviceReadsGiveZeroAndNotMutedAndWritesDoNothing) {
    const ComApartment com;
    VolumeControl volume;
    EXPECT_EQ(volume.UsesMixer(), ReportedMajorVersion() == 5);
    volume.SetLevel(80);
    volume.SetMute(true);
    EXPECT_EQ(volume.GetLevel(), 0);
    EXPECT_FALSE(volume.GetMute());
}

TEST(VolumeControlTest, EndpointOperationsWithoutComDoNotCallThroughMissingInterfaces) {
    // No CoInitialize on this thread: CoCreateInstance fails and nothing is called.
    EXPECT_EQ(EndpointVolumeBackend::GetLevel(), 0);
    EXPECT_FALSE(EndpointVolumeBackend::GetMute());
    EndpointVolumeBackend::SetLevel(30);
    EndpointVolumeBackend::SetMute(true);
}

TEST(MixerBackendTest, AClosedMixerAnswersEveryOperationWithFailure) {
    MixerVolumeBackend mixer;  // never opened
    int percent = 77;
    EXPECT_FALSE(mixer.GetLevel(percent));
    EXPECT_EQ(percent, 0);
    EXPECT_FALSE(mixer.SetLevel(50));
    EXPECT_FALSE(mixer.GetMute());
    EXPECT_FALSE(mixer.SetMute(true));
    mixer.Open();  // the test prefix has no mixer device
    EXPECT_EQ(mixer.IsOpen(), mixerGetNumDevs() > 0);
}

// Run on its own (ctest's windows_null_alsa_mixer), with a null ALSA device in
// $HOME/.asoundrc: Wine's winmm then offers a mixer whose speakers line
// "Master Volume" has a 0..65535 fader and a mute switch, as XP's would.
TEST(NullAlsaMixerTest, TheXpBackendDrivesARealMixer) {
    ASSERT_GT(mixerGetNumDevs(), 0u) << "no mixer: is the null ALSA device in $HOME/.asoundrc?";
    MixerVolumeBackend mixer;
    mixer.Open();
    ASSERT_TRUE(mixer.IsOpen());
    for (const std::uint32_t level : {55u, 0u, 100u, 20u}) {
        SCOPED_TRACE(level);
        ASSERT_TRUE(mixer.SetLevel(level));
        int read = -1;
        ASSERT_TRUE(mixer.GetLevel(read));
        EXPECT_EQ(read, MixerValueToPercent(PercentToMixerValue(level, 0, 65535), 0, 65535));
    }
    int read = -1;
    ASSERT_TRUE(mixer.SetLevel(55));
    ASSERT_TRUE(mixer.GetLevel(read));
    EXPECT_EQ(read, 54) << "55 % reads back one lower through the fader";
    for (const bool muted : {true, false, true}) {
        ASSERT_TRUE(mixer.SetMute(muted));
        EXPECT_EQ(mixer.GetMute(), muted);
    }
    mixer.Close();
    EXPECT_FALSE(mixer.IsOpen());
}

}  // namespace
}  // namespace sonarel
