#include "indicator/indicator_paint.h"

#include <string>

#include "common/decimal.h"
#include "indicator/dpi.h"
#include "indicator/gradient.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

constexpr wchar_t kSizingTemplate[] = L" Volume: 000 % ";
constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // 0x25

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

// The stock font a choice draws with: the GUI font, or the surface's default
// (the system font, which selecting nothing keeps).
HGDIOBJ StockFontOf(bool use_gui_font) { return ::GetStockObject(use_gui_font ? DEFAULT_GUI_FONT : SYSTEM_FONT); }

// What is selected to draw: `font`, else the GUI font, else nothing.
HGDIOBJ SelectedFont(bool use_gui_font, HGDIOBJ font) {
    if (font != nullptr) return font;
    return use_gui_font ? ::GetStockObject(DEFAULT_GUI_FONT) : nullptr;
}

// The extent of the sizing template on `dc` in `font` (null: the surface's own).
SIZE TemplateExtent(HDC dc, HGDIOBJ font) {
    SIZE extent{};
    const win32::unique_select_object selected(dc, font);
    ::GetTextExtentPoint32W(dc, kSizingTemplate, 15, &extent);
    return extent;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const win32::unique_hbrush brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rect, brush.get());
}

}  // namespace

bool ChooseIndicatorFont() {
    // A failed query leaves 0: smoothing off, so the GUI font.
    UINT smoothing = 0;
    ::SystemParametersInfoW(SPI_GETFONTSMOOTHING, 0, &smoothing, 0);
    if (smoothing != 1) return true;
    UINT type = 0;
    ::SystemParametersInfoW(SPI_GETFONTSMOOTHINGTYPE, 0, &type, 0);
    return type != FE_FONTSMOOTHINGCLEARTYPE;
}

bool SizeIndicatorWindow(HWND window) {
    RECT outer{};
    ::GetWindowRect(window, &outer);
    const bool use_gui_font = ChooseIndicatorFont();
    SIZE extent{};
    {
        const win32::unique_hdc_paint paint(window);
        extent = TemplateExtent(paint.get(), SelectedFont(use_gui_font, nullptr));
    }
    ::MoveWindow(window, outer.left, outer.top, extent.cx, extent.cy, TRUE);
    return use_gui_font;
}

UINT SystemDpi() {
    const win32::unique_hdc_window screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

win32::unique_hgdiobj IndicatorFontAt(bool use_gui_font, UINT dpi) {
    const UINT system_dpi = SystemDpi();
    if (dpi == system_dpi || dpi == 0) return win32::unique_hgdiobj();
    LOGFONTW font{};
    if (::GetObjectW(StockFontOf(use_gui_font), sizeof font, &font) != sizeof font) return win32::unique_hgdiobj();
    font.lfHeight = ScaleForDpi(font.lfHeight, dpi, system_dpi);
    font.lfWidth = ScaleForDpi(font.lfWidth, dpi, system_dpi);
    return win32::unique_hgdiobj(::CreateFontIndirectW(&font));
}

SIZE MeasureIndicator(HWND window, bool use_gui_font, HGDIOBJ font) {
    const win32::unique_hdc_window surface(window);
    return TemplateExtent(surface.get(), SelectedFont(use_gui_font, font));
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF top, COLORREF bottom) {
    const VerticalGradient gradient({rect.left, rect.top, rect.right, rect.bottom}, top, bottom);
    FillSolid(dc, rect, gradient.SolidColor());
    for (int band = 0; band < gradient.BandCount(); ++band) {
        FillSolid(dc, ToRect(gradient.BandRect(band)), gradient.BandColor(band));
    }
}

void DrawIndicatorFace(HDC dc, const RECT& rect, const IndicatorColors& colors, bool use_gui_font,
                       const wchar_t* text) {
    DrawIndicatorFace(dc, rect, colors, use_gui_font, nullptr, text);
}

void DrawIndicatorFace(HDC dc, const RECT& rect, const IndicatorColors& colors, bool use_gui_font, HGDIOBJ font,
                       const wchar_t* text) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colors.text);
    // Selecting nothing keeps the surface's own font.
    const win32::unique_select_object selected(dc, SelectedFont(use_gui_font, font));
    FillVerticalGradient(dc, rect, colors.top_background, colors.bottom_background);
    RECT text_rect = rect;
    ::DrawTextW(dc, text, -1, &text_rect, kTextFormat);
}

void DrawMuteLine(HDC dc, const RECT& rect, COLORREF color) {
    const win32::unique_hpen pen(::CreatePen(PS_SOLID, 1, color));
    const win32::unique_select_object selected(dc, pen.get());
    ::MoveToEx(dc, rect.left, rect.bottom, nullptr);
    ::LineTo(dc, rect.right, rect.top);
}

void FormatLevelText(int level, wchar_t* buffer, size_t size) {
    if (size == 0) return;
    std::wstring text = L"Volume: ";
    AppendDecimal(text, static_cast<unsigned>(level));  // as "%u" shows it
    text += L" %";
    const size_t length = text.copy(buffer, size - 1);
    buffer[length] = L'\0';
}

}  // namespace sonarel
