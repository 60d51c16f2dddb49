#include "indicator/indicator_paint.h"

#include <string>

#include "common/decimal.h"
#include "indicator/gradient.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

constexpr wchar_t kSizingTemplate[] = L" Volume: 000 % ";
constexpr UINT kTextFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;  // 0x25

RECT ToRect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

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
        const win32::unique_select_object font(paint.get(),
                                               use_gui_font ? ::GetStockObject(DEFAULT_GUI_FONT) : nullptr);
        ::GetTextExtentPoint32W(paint.get(), kSizingTemplate, 15, &extent);
    }
    ::MoveWindow(window, outer.left, outer.top, extent.cx, extent.cy, TRUE);
    return use_gui_font;
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
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colors.text);
    // Selecting nothing keeps the surface's own font.
    const win32::unique_select_object font(dc, use_gui_font ? ::GetStockObject(DEFAULT_GUI_FONT) : nullptr);
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
