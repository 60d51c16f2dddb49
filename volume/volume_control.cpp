#include "volume/volume_control.h"

#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include "volume/volume_math.h"

namespace sonarel {
namespace {

using Microsoft::WRL::ComPtr;

constexpr DWORD kMixerHandleFlags = MIXER_OBJECTF_HMIXER;

// The endpoint-volume interface of the default render device, or null.
ComPtr<IAudioEndpointVolume> DefaultEndpointVolume() {
    ComPtr<IMMDeviceEnumerator> enumerator;
    if (FAILED(::CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&enumerator)))) {
        return nullptr;
    }
    ComPtr<IMMDevice> device;
    if (FAILED(enumerator->GetDefaultAudioEndpoint(eRender, eConsole, &device)) || !device) return nullptr;
    enumerator.Reset();
    ComPtr<IAudioEndpointVolume> volume;
    if (FAILED(device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                reinterpret_cast<void**>(volume.GetAddressOf())))) {
        return nullptr;
    }
    return volume;
}

}  // namespace

DWORD ReportedMajorVersion() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    // Deprecated, but exactly what is wanted: the version as the program's
    // manifest lets the system report it (5 on XP).
#if defined(_MSC_VER)
#pragma warning(suppress : 4996)
    ::GetVersionExW(&version);
#else
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(&version);
#pragma GCC diagnostic pop
#endif
    return version.dwMajorVersion;
}

// --- Mixer -------------------------------------------------------------------

void MixerVolumeBackend::Open() {
    device_count_ = ::mixerGetNumDevs();
    if (device_count_ == 0) return;
    HMIXER mixer = nullptr;
    // CALLBACK_WINDOW without a window: no change notifications.
    if (::mixerOpen(&mixer, 0, 0, 0, CALLBACK_WINDOW) != MMSYSERR_NOERROR) return;
    mixer_ = mixer;
    if (::mixerGetDevCapsW(reinterpret_cast<UINT_PTR>(mixer_), &capabilities_, sizeof capabilities_) !=
        MMSYSERR_NOERROR) {
        return;
    }
    // A mixer without the speakers line or its controls stays open; the
    // operations on the missing controls then fail one by one.
    LookUpControls();
}

bool MixerVolumeBackend::LookUpControls() {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    if (::mixerGetLineInfoW(reinterpret_cast<HMIXEROBJ>(mixer_), &line,
                            kMixerHandleFlags | MIXER_GETLINEINFOF_COMPONENTTYPE) != MMSYSERR_NOERROR) {
        return false;
    }
    auto find_control = [&](DWORD type, MIXERCONTROLW& control) {
        MIXERLINECONTROLSW controls{};
        controls.cbStruct = sizeof controls;
        controls.dwLineID = line.dwLineID;
        controls.dwControlType = type;
        controls.cControls = 1;
        controls.cbmxctrl = sizeof control;
        controls.pamxctrl = &control;
        control.cbStruct = sizeof control;
        return ::mixerGetLineControlsW(reinterpret_cast<HMIXEROBJ>(mixer_), &controls,
                                       kMixerHandleFlags | MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR;
    };
    MIXERCONTROLW volume{};
    if (!find_control(MIXERCONTROL_CONTROLTYPE_VOLUME, volume)) return false;
    line_name_ = line.szName;
    volume_name_ = volume.szName;
    controls_.volume_minimum = volume.Bounds.dwMinimum;
    controls_.volume_maximum = volume.Bounds.dwMaximum;
    controls_.volume_id = volume.dwControlID;
    MIXERCONTROLW mute{};
    if (!find_control(MIXERCONTROL_CONTROLTYPE_MUTE, mute)) return false;
    mute_name_ = mute.szName;
    controls_.mute_id = mute.dwControlID;
    return true;
}

void MixerVolumeBackend::Close() {
    if (mixer_ != nullptr) ::mixerClose(mixer_);
    mixer_ = nullptr;
    controls_ = {};
    line_name_.clear();
    volume_name_.clear();
    mute_name_.clear();
}

namespace {

// One 32-bit value for all channels of a control.
MIXERCONTROLDETAILS DetailsOf(DWORD control_id, DWORD& value) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control_id;
    details.cChannels = 1;
    details.cbDetails = sizeof value;
    details.paDetails = &value;
    return details;
}

}  // namespace

bool MixerVolumeBackend::GetValue(std::uint32_t control_id, std::uint32_t& value) const {
    DWORD detail = 0;
    MIXERCONTROLDETAILS details = DetailsOf(control_id, detail);
    const bool ok = ::mixerGetControlDetailsW(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                              kMixerHandleFlags | MIXER_GETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
    value = detail;
    return ok;
}

bool MixerVolumeBackend::SetValue(std::uint32_t control_id, std::uint32_t value) const {
    DWORD detail = value;
    MIXERCONTROLDETAILS details = DetailsOf(control_id, detail);
    return ::mixerSetControlDetails(reinterpret_cast<HMIXEROBJ>(mixer_), &details,
                                    kMixerHandleFlags | MIXER_SETCONTROLDETAILSF_VALUE) == MMSYSERR_NOERROR;
}

bool MixerVolumeBackend::GetLevel(int& percent) const {
    percent = 0;
    return mixer_ != nullptr && ReadMixerLevel(controls_, *this, percent);
}

bool MixerVolumeBackend::SetLevel(std::uint32_t percent) const {
    return mixer_ != nullptr && WriteMixerLevel(controls_, *this, percent);
}

bool MixerVolumeBackend::GetMute() const { return mixer_ != nullptr && ReadMixerMute(controls_, *this); }

bool MixerVolumeBackend::SetMute(bool muted) const {
    return mixer_ != nullptr && WriteMixerMute(controls_, *this, muted);
}

// --- Endpoint ----------------------------------------------------------------

int EndpointVolumeBackend::GetLevel() {
    const ComPtr<IAudioEndpointVolume> volume = DefaultEndpointVolume();
    float scalar = 0.0f;
    if (!volume || FAILED(volume->GetMasterVolumeLevelScalar(&scalar))) return 0;
    return ScalarToPercent(scalar);
}

void EndpointVolumeBackend::SetLevel(std::uint32_t percent) {
    if (const ComPtr<IAudioEndpointVolume> volume = DefaultEndpointVolume()) {
        volume->SetMasterVolumeLevelScalar(PercentToScalar(percent), nullptr);
    }
}

bool EndpointVolumeBackend::GetMute() {
    const ComPtr<IAudioEndpointVolume> volume = DefaultEndpointVolume();
    BOOL muted = FALSE;
    if (!volume || FAILED(volume->GetMute(&muted))) return false;
    return muted != FALSE;
}

void EndpointVolumeBackend::SetMute(bool muted) {
    if (const ComPtr<IAudioEndpointVolume> volume = DefaultEndpointVolume()) volume->SetMute(muted ? TRUE : FALSE, nullptr);
}

// --- Facade ------------------------------------------------------------------

VolumeControl::VolumeControl() {
    mixer_.Open();
    use_mixer_ = ReportedMajorVersion() == 5;
}

int VolumeControl::GetLevel() {
    if (!use_mixer_) return EndpointVolumeBackend::GetLevel();
    int percent = 0;
    mixer_.GetLevel(percent);
    return percent;
}

void VolumeControl::SetLevel(std::uint32_t percent) {
    percent = ClampLevel(percent);
    if (use_mixer_) {
        mixer_.SetLevel(percent);
    } else {
        EndpointVolumeBackend::SetLevel(percent);
    }
}

bool VolumeControl::GetMute() { return use_mixer_ ? mixer_.GetMute() : EndpointVolumeBackend::GetMute(); }

void VolumeControl::SetMute(bool muted) {
    if (use_mixer_) {
        mixer_.SetMute(muted);
    } else {
        EndpointVolumeBackend::SetMute(muted);
    }
}

}  // namespace sonarel
