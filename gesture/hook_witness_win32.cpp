#include "gesture/hook_witness_win32.h"

#include "gesture/eligibility_win32.h"
#include "gesture/trigger_rules.h"

namespace sonarel {
namespace {

RAWINPUTDEVICE RawMouse(DWORD flags, HWND target) {
    RAWINPUTDEVICE mouse{};
    mouse.usUsagePage = 0x01;  // generic desktop controls
    mouse.usUsage = 0x02;      // mouse
    mouse.dwFlags = flags;
    mouse.hwndTarget = target;
    return mouse;
}

}  // namespace

bool ForegroundCheck::HookBypassed() {
    if (!own_integrity_) return false;  // XP: no levels
    const HWND foreground = ::GetForegroundWindow();
    if (foreground != window_) {
        window_ = foreground;
        bypassed_ = foreground != nullptr &&
                    !IsEligibleByIntegrity(*own_integrity_, WindowIntegrityLevel(foreground));
    }
    return bypassed_;
}

void RegisterRawMouse(HWND window) {
    const RAWINPUTDEVICE mouse = RawMouse(RIDEV_INPUTSINK, window);
    ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
}

void UnregisterRawMouse() {
    const RAWINPUTDEVICE mouse = RawMouse(RIDEV_REMOVE, nullptr);
    ::RegisterRawInputDevices(&mouse, 1, sizeof mouse);
}

WitnessedEvent ToWitnessedEvent(const RAWINPUTHEADER& header, const RAWMOUSE& mouse, DWORD time,
                                ForegroundCheck& foreground) {
    WitnessedEvent event;
    event.time = time;
    event.button_or_wheel = mouse.usButtonFlags != 0;
    event.injected = header.hDevice == nullptr;  // SendInput's events come from no device
    if (mouse.usButtonFlags & RI_MOUSE_LEFT_BUTTON_UP) event.released |= kWitnessedLeft;
    if (mouse.usButtonFlags & RI_MOUSE_RIGHT_BUTTON_UP) event.released |= kWitnessedRight;
    if (event.button_or_wheel && !event.injected) event.hook_bypassed = foreground.HookBypassed();
    return event;
}

std::optional<WitnessedEvent> ReadWitnessedEvent(HRAWINPUT handle, ForegroundCheck& foreground) {
    RAWINPUT input{};
    UINT size = sizeof input;
    if (::GetRawInputData(handle, RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1) ||
        input.header.dwType != RIM_TYPEMOUSE || input.data.mouse.usButtonFlags == 0) {
        return std::nullopt;
    }
    return ToWitnessedEvent(input.header, input.data.mouse, static_cast<DWORD>(::GetMessageTime()), foreground);
}

}  // namespace sonarel
