// A stand-in for mmdevapi.dll in the test Wine prefix: the default render
// endpoint keeps its master level and mute in a text file named by
// SONAREL_TEST_ENDPOINT ("<scalar> <muted>"), so they persist across
// activations and processes and the tests can read and set them. Wine's own
// endpoint cannot set the level (E_NOTIMPL).
#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <cstdio>
#include <new>

namespace {

struct EndpointState {
    float level = 0.5f;
    BOOL muted = FALSE;
};

bool StatePath(wchar_t (&path)[MAX_PATH]) {
    const DWORD n = GetEnvironmentVariableW(L"SONAREL_TEST_ENDPOINT", path, MAX_PATH);
    return n > 0 && n < MAX_PATH;
}

EndpointState ReadState() {
    EndpointState state;
    wchar_t path[MAX_PATH];
    if (!StatePath(path)) return state;
    if (FILE* f = _wfopen(path, L"r")) {
        int muted = 0;
        if (std::fscanf(f, "%f %d", &state.level, &muted) == 2) state.muted = muted != 0;
        std::fclose(f);
    }
    return state;
}

void WriteState(const EndpointState& state) {
    wchar_t path[MAX_PATH];
    if (!StatePath(path)) return;
    if (FILE* f = _wfopen(path, L"w")) {
        std::fprintf(f, "%.9g %d\n", state.level, state.muted ? 1 : 0);
        std::fclose(f);
    }
}

template <class Interface>
class RefCounted : public Interface {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(Interface)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    virtual ~RefCounted() = default;

private:
    LONG refs_ = 1;
};

class Volume final : public RefCounted<IAudioEndpointVolume> {
public:
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT* count) override { *count = 2; return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(float, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(float level, LPCGUID) override {
        if (level < 0.0f || level > 1.0f) return E_INVALIDARG;
        EndpointState state = ReadState();
        state.level = level;
        WriteState(state);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(float* level) override {
        *level = ReadState().level;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, float, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, float, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, float*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMute(BOOL muted, LPCGUID) override {
        EndpointState state = ReadState();
        state.muted = muted;
        WriteState(state);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMute(BOOL* muted) override {
        *muted = ReadState().muted;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD* mask) override { *mask = 0; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(float* low, float* high, float* step) override {
        *low = -96.0f; *high = 0.0f; *step = 1.0f;
        return S_OK;
    }
};

class Device final : public RefCounted<IMMDevice> {
public:
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** out) override {
        if (iid != __uuidof(IAudioEndpointVolume)) {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        *out = static_cast<IAudioEndpointVolume*>(new (std::nothrow) Volume);
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override { *state = DEVICE_STATE_ACTIVE; return S_OK; }
};

class Enumerator final : public RefCounted<IMMDeviceEnumerator> {
public:
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole, IMMDevice** device) override {
        if (flow != eRender) {
            *device = nullptr;
            return E_NOTFOUND;
        }
        *device = new (std::nothrow) Device;
        return *device ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient*) override { return S_OK; }
};

class Factory final : public IClassFactory {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IClassFactory)) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        Enumerator* enumerator = new (std::nothrow) Enumerator;
        if (enumerator == nullptr) return E_OUTOFMEMORY;
        const HRESULT result = enumerator->QueryInterface(iid, out);
        enumerator->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

Factory g_factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (clsid != __uuidof(MMDeviceEnumerator)) {
        *out = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return g_factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() { return S_FALSE; }
