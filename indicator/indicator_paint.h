// Drawing of the volume indicator, shared by Sonarel's indicator window and
// SonarelSettings' preview.
#pragma once

#include <windows.h>

#include "win32/unique_handle.h"

namespace sonarel {

struct IndicatorColors {
    COLORREF top_background;
    COLORREF bottom_background;
    COLORREF text;
    COLORREF mute_line;
};

// True: draw with the stock GUI font; false (ClearType on): the surface's default font.
bool ChooseIndicatorFont();

// Sizes the window from " Volume: 000 % " in the chosen font, keeping its
// top-left corner; returns the font choice for later paints.
bool SizeIndicatorWindow(HWND window);

// The DPI of the screen: the primary monitor's when the program started.
UINT SystemDpi();

// The font of the choice at `dpi`: none at the system DPI (the stock font of
// the choice is drawn with, as ever), otherwise one made from that stock
// font's at that DPI.
win32::unique_hgdiobj IndicatorFontAt(bool use_gui_font, UINT dpi);

// The outer size of the indicator in `font` (null: the stock font of the
// choice): the extent of " Volume: 000 % ", measured on the window's surface.
SIZE MeasureIndicator(HWND window, bool use_gui_font, HGDIOBJ font);

// Solid bottom colour, then two-row bands blending from top to bottom.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom);

// Gradient and one centred line of text, transparent, in the text colour.
void DrawIndicatorFace(HDC dc, const RECT& rect, const IndicatorColors& colors, bool use_gui_font,
                       const wchar_t* text);
// The same in a font of IndicatorFontAt (null: the stock font of the choice).
void DrawIndicatorFace(HDC dc, const RECT& rect, const IndicatorColors& colors, bool use_gui_font, HGDIOBJ font,
                       const wchar_t* text);

// One stroke from the lower-left to the upper-right corner.
void DrawMuteLine(HDC dc, const RECT& rect, COLORREF color);

// "Volume: " level " %"; buffer of at least 32 characters.
void FormatLevelText(int level, wchar_t* buffer, size_t size);

}  // namespace sonarel
