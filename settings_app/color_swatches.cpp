#include "settings_app/color_swatches.h"

#include <commdlg.h>

#include "indicator/indicator_paint.h"
#include "settings/settings.h"
#include "settings_app/dialog_rules.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

UINT g_color_ok_message = 0;

// Attached to every picker; handles nothing, so each confirmed colour is taken as it is.
UINT_PTR CALLBACK ColorDialogHook(HWND, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG && g_color_ok_message == 0) {
        g_color_ok_message = ::RegisterWindowMessageW(L"commdlg_ColorOK");
    }
    return 0;
}

}  // namespace

COLORREF* CustomColors() {
    static COLORREF colors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    return colors;
}

ColorRef& SwatchColor(Settings& settings, int control_id) {
    switch (control_id) {
        case 1001: return settings.color_top_background;
        case 1002: return settings.color_bottom_background;
        case 1003: return settings.color_text;
        default: return settings.color_mute_line;
    }
}

void PaintSwatch(HWND dialog, int control_id, COLORREF color) {
    const HWND control = ::GetDlgItem(dialog, control_id);
    RECT client{};
    ::GetClientRect(control, &client);
    const win32::unique_hdc_window dc(control);
    const win32::unique_hbrush brush(::CreateSolidBrush(color));
    ::FillRect(dc.get(), &client, brush.get());
}

void PaintPreview(HWND dialog, const Settings& settings) {
    const bool use_gui_font = ChooseIndicatorFont();
    const HWND control = ::GetDlgItem(dialog, kPreviewControl);
    const win32::unique_hdc_window dc(control);
    RECT client{};
    ::GetClientRect(control, &client);
    const IndicatorColors colors{settings.color_top_background, settings.color_bottom_background, settings.color_text,
                                 settings.color_mute_line};
    DrawIndicatorFace(dc.get(), client, colors, use_gui_font, L" Volume: 100 % ");
    DrawMuteLine(dc.get(), client, colors.mute_line);
}

bool PickColor(HWND owner, ColorRef& field) {
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = owner;
    choose.rgbResult = 0;  // not the swatch's colour: no CC_RGBINIT
    choose.lpCustColors = CustomColors();
    choose.Flags = CC_ENABLEHOOK;
    choose.lpfnHook = ColorDialogHook;
    if (!::ChooseColorW(&choose)) return false;
    field = choose.rgbResult;
    return true;
}

void HandleSwatchClick(HWND dialog, Settings& settings, int x, int y) {
    for (int id = kFirstSwatchControl; id <= kLastSwatchControl; ++id) {
        RECT outer{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &outer);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&outer), 2);
        if (!HitsSwatch({outer.left, outer.top, outer.right, outer.bottom}, {x, y})) continue;
        ColorRef& field = SwatchColor(settings, id);
        if (PickColor(dialog, field)) {
            PaintSwatch(dialog, id, field);
            PaintPreview(dialog, settings);
            return;
        }
    }
}

}  // namespace sonarel
