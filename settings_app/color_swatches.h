// The four colour swatches, the colour picker and the indicator preview of
// the settings dialog.
#pragma once

#include <windows.h>

#include "common/color.h"

namespace sonarel {

struct Settings;

inline constexpr int kPreviewControl = 1000;
inline constexpr int kFirstSwatchControl = 1001;  // 1001..1004, in the order of SwatchColor
inline constexpr int kLastSwatchControl = 1004;

// The working-copy field a swatch shows (1001 top, 1002 bottom, 1003 text, 1004 mute line).
ColorRef& SwatchColor(Settings& settings, int control_id);

void PaintSwatch(HWND dialog, int control_id, COLORREF color);
// " Volume: 100 % " with the mute line, in the working copy's colours.
void PaintPreview(HWND dialog, const Settings& settings);
// A release at (x, y) in dialog client coordinates: picks a colour for the swatch under it.
void HandleSwatchClick(HWND dialog, Settings& settings, int x, int y);
// The standard colour dialog, starting from black; true and the colour stored when confirmed.
bool PickColor(HWND owner, ColorRef& field);

// The process-wide custom colours the pickers share (16, initially white).
COLORREF* CustomColors();

}  // namespace sonarel
