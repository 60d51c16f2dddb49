// The settings program's decisions over plain values: the trigger mapping,
// the volume-step check and its message, dialog centring, swatch hit-testing
// and the browser's link colour format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/color.h"
#include "common/geometry.h"
#include "settings/atomic_file.h"

namespace sonarel {

// Radio group position: 0 left, 1 right; any stored value but 0 shows as right.
int TriggerSelectionFor(std::int32_t mouse_button_pressed);
// Stored setting: 0 for the left button, 2 for anything else (right, or none checked).
std::int32_t MouseButtonFor(int selection);

inline constexpr int kMinVolumeStep = 0;
inline constexpr int kMaxVolumeStep = 100;

// The step edit's text as an unsigned 32-bit number: blanks around decimal
// digits and nothing else, no overflow (as GetDlgItemInt does on Windows).
std::optional<std::uint32_t> ParseUnsignedStep(std::wstring_view text);

enum class StepVerdict : std::uint8_t { NotANumber, OutOfRange, Accepted };
// `value` is what the unsigned conversion gave, judged as a signed 32-bit number.
StepVerdict JudgeVolumeStep(bool converted, std::uint32_t value);
std::wstring RangeMessage(int value, int minimum, int maximum);

// A StartupApproved record (REG_BINARY): an odd first byte means that the user
// turned the startup item off; an empty record means nothing.
bool IsStartupEntryTurnedOff(const std::uint8_t* data, std::size_t size);

// What Apply tells the user when the settings could not be saved, and what the
// program says before it ends when it cannot read the file at all.
std::wstring SaveFailureMessage(WriteFailure failure, std::wstring_view file);
std::wstring UnreadableSettingsMessage(std::wstring_view file);

// Top-left that centres `size` on `reference`, then keeps it inside `work`
// (right and bottom first, then left and top).
Point CenteredPosition(Size size, const Rect& reference, const Rect& work);

// All four edges count, so the column right of and the row below the
// rectangle are on the swatch too.
constexpr bool HitsSwatch(const Rect& outer, Point p) {
    return outer.left <= p.x && p.x <= outer.right && outer.top <= p.y && p.y <= outer.bottom;
}

// "r,g,b" of at most 11 characters, each number taken modulo 256; nullopt for
// anything else (then the default colour stays).
std::optional<ColorRef> ParseAnchorColor(std::wstring_view value);

}  // namespace sonarel
