// The witness of the mouse hook: raw input, the mouse as the system reports it
// to a window whatever the hooks do, converted to what HookWatch judges.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "gesture/hook_watch.h"

namespace sonarel {

// Whether the system skips our hook for input to the foreground window: the
// window of a program of a higher (or unknown) integrity level is in front.
// Asked for the witness's button and wheel events only, and remembered for as
// long as the same window stays in front.
class ForegroundCheck {
public:
    explicit ForegroundCheck(std::optional<std::uint32_t> own_integrity) : own_integrity_(own_integrity) {}
    bool HookBypassed();

private:
    std::optional<std::uint32_t> own_integrity_;
    HWND window_ = nullptr;
    bool bypassed_ = false;
};

// Raw mouse input for `window`, also while another window is in front.
void RegisterRawMouse(HWND window);
void UnregisterRawMouse();

// What the witness reports of one raw mouse event at `time`.
WitnessedEvent ToWitnessedEvent(const RAWINPUTHEADER& header, const RAWMOUSE& mouse, DWORD time,
                                ForegroundCheck& foreground);

// The report of a WM_INPUT message; none for moves (the common case, and proof
// of nothing) or what is no mouse input.
std::optional<WitnessedEvent> ReadWitnessedEvent(HRAWINPUT input, ForegroundCheck& foreground);

}  // namespace sonarel
