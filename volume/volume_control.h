// Master volume and mute of the default output device: Core Audio on Vista
// and later, the winmm mixer on XP (major version 5).
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>

#include "volume/mixer_controls.h"

namespace sonarel {

// First mixer device, its speakers line, the volume fader and mute switch.
class MixerVolumeBackend final : private MixerDevice {
public:
    MixerVolumeBackend() = default;
    ~MixerVolumeBackend() { Close(); }
    MixerVolumeBackend(const MixerVolumeBackend&) = delete;
    MixerVolumeBackend& operator=(const MixerVolumeBackend&) = delete;

    void Open();
    void Close();
    bool IsOpen() const { return mixer_ != nullptr; }

    bool GetLevel(int& percent) const;  // percent 0 on failure
    bool SetLevel(std::uint32_t percent) const;
    bool GetMute() const;  // false on failure
    bool SetMute(bool muted) const;

private:
    bool LookUpControls();
    bool GetValue(std::uint32_t control_id, std::uint32_t& value) const override;
    bool SetValue(std::uint32_t control_id, std::uint32_t value) const override;

    UINT device_count_ = 0;
    HMIXER mixer_ = nullptr;
    MIXERCAPSW capabilities_{};
    std::wstring line_name_;
    std::wstring volume_name_;
    std::wstring mute_name_;
    MixerControls controls_;  // only what the lookup found
};

// Each operation obtains the default render endpoint afresh and releases it
// before returning. Without a device (or COM) reads give 0 and not muted, and
// writes do nothing.
class EndpointVolumeBackend {
public:
    static int GetLevel();
    static void SetLevel(std::uint32_t percent);
    static bool GetMute();
    static void SetMute(bool muted);
};

class VolumeControl {
public:
    // Opens the mixer on every system, then picks the backend by version.
    VolumeControl();

    int GetLevel();
    void SetLevel(std::uint32_t percent);  // above 100 (unsigned) stores 100
    bool GetMute();
    void SetMute(bool muted);

    bool UsesMixer() const { return use_mixer_; }

private:
    MixerVolumeBackend mixer_;
    bool use_mixer_ = false;
};

// Major version as GetVersionExW reports it (compatibility shims included).
DWORD ReportedMajorVersion();

}  // namespace sonarel
