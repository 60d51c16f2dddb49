// VolumeControl against what the test prefix offers: no audio device at all
// (Wine: GetDefaultAudioEndpoint fails with 0x80070490, mixerGetNumDevs is 0).
// The end-to-end tests cover a working endpoint.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include "volume/volume_control.h"

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

}  // namespace
}  // namespace sonarel
