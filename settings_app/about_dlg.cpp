#include "settings_app/about_dlg.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

// GDI+ (gdiplus.dll, present since XP) decodes the PNG; its headers need the
// COM property types that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>
#include <gdiplus.h>

#include "settings_app/dialog_rules.h"
#include "settings_app/main_dlg.h"
#include "win32/program_folder.h"

namespace sonarel {
namespace {

constexpr wchar_t kLinkProperty[] = L"SonarelHyperLink";

}  // namespace

void ReadBrowserAnchorColors(COLORREF& link, COLORREF& visited) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Settings", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    auto read = [key](const wchar_t* name, COLORREF& color) {
        wchar_t value[12] = {};  // a longer value does not fit and is not used
        DWORD type = 0;
        DWORD size = sizeof value;
        if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) return;
        if (type != REG_SZ && type != REG_EXPAND_SZ) return;
        value[11] = L'\0';  // stored strings need not be terminated
        if (const auto parsed = ParseAnchorColor(value)) color = *parsed;
    };
    read(L"Anchor Color", link);
    read(L"Anchor Color Visited", visited);
    ::RegCloseKey(key);
}

HBITMAP LoadPngBitmap(const std::wstring& path) {
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return nullptr;
    HBITMAP bitmap = nullptr;
    Gdiplus::GpBitmap* image = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromFile(path.c_str(), &image) == Gdiplus::Ok) {
        // Transparent parts take the dialog's face colour.
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        const Gdiplus::ARGB background = 0xFF000000u | (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
        Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(image, &bitmap, background);
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    Gdiplus::GdiplusShutdown(token);
    return bitmap;
}

// --- CHyperLink ----------------------------------------------------------------

CHyperLink::~CHyperLink() {
    if (tooltip_ && !::IsWindow(tooltip_.get())) tooltip_.release();  // gone with its dialog
    if (control_ != nullptr && ::IsWindow(control_)) {
        ::SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_proc_));
        ::RemovePropW(control_, kLinkProperty);
    }
}

void CHyperLink::Attach(HWND control) {
    control_ = control;
    ReadBrowserAnchorColors(link_color_, visited_color_);

    LOGFONTW font{};
    const auto current = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ::GetObjectW(current != nullptr ? current : ::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfUnderline = TRUE;
    underlined_font_.reset(::CreateFontIndirectW(&font));

    // Mouse input and a place in the tab order.
    ::SetWindowLongW(control, GWL_STYLE, ::GetWindowLongW(control, GWL_STYLE) | SS_NOTIFY | WS_TABSTOP);
    ::SetPropW(control, kLinkProperty, this);
    original_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CHyperLink::SubclassProc)));

    tooltip_.reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(control), nullptr,
                                     ::GetModuleHandleW(nullptr), nullptr));
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = ::GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(target_.c_str());
    ::SendMessageW(tooltip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    ::InvalidateRect(control, nullptr, TRUE);
}

bool CHyperLink::Open() {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", target_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) return false;
    visited_ = true;
    ::InvalidateRect(control_, nullptr, TRUE);
    return true;
}

LRESULT CALLBACK CHyperLink::SubclassProc(HWND control, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    auto* self = static_cast<CHyperLink*>(::GetPropW(control, kLinkProperty));
    if (self == nullptr) return ::DefWindowProcW(control, message, wparam, lparam);
    try {
        return self->HandleMessage(message, wparam, lparam);
    } catch (...) {
        return 0;
    }
}

LRESULT CHyperLink::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_SETCURSOR:
            ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        // Opened as a button is clicked: pressed and released on the label.
        case WM_LBUTTONDOWN:
            pressed_ = true;
            ::SetCapture(control_);
            return 0;
        case WM_LBUTTONUP: {
            RECT client{};
            ::GetClientRect(control_, &client);
            const POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
            const bool clicked = pressed_ && ::PtInRect(&client, at);
            if (::GetCapture() == control_) ::ReleaseCapture();
            pressed_ = false;
            if (clicked) Open();
            return 0;
        }
        case WM_CAPTURECHANGED:
            pressed_ = false;
            break;
        case WM_GETDLGCODE:
            // Enter and Space open the link instead of pressing the default button.
            if (lparam != 0) {
                const auto* key = reinterpret_cast<const MSG*>(lparam);
                if (key->message == WM_KEYDOWN && (key->wParam == VK_RETURN || key->wParam == VK_SPACE)) {
                    return DLGC_WANTMESSAGE;
                }
            }
            break;
        case WM_KEYDOWN:
            if (wparam == VK_RETURN || wparam == VK_SPACE) {
                Open();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            ::InvalidateRect(control_, nullptr, TRUE);
            break;
        default:
            break;
    }
    return ::CallWindowProcW(original_proc_, control_, message, wparam, lparam);
}

void CHyperLink::Paint() {
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(control_, &paint);
    RECT client{};
    ::GetClientRect(control_, &client);
    // The dialog's own background for statics.
    const auto brush = reinterpret_cast<HBRUSH>(
        ::SendMessageW(::GetParent(control_), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control_)));
    ::FillRect(dc, &client, brush != nullptr ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
    wchar_t label[128] = {};
    ::GetWindowTextW(control_, label, 128);
    {
        const win32::unique_select_object font(dc, underlined_font_.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, visited_ ? visited_color_ : link_color_);
        RECT text = client;
        ::DrawTextW(dc, label, -1, &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        if (::GetFocus() == control_) {
            RECT extent = client;
            ::DrawTextW(dc, label, -1, &extent, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
            ::DrawFocusRect(dc, &extent);
        }
    }
    ::EndPaint(control_, &paint);
}

// --- CAboutDlg -----------------------------------------------------------------

INT_PTR CAboutDlg::HandleMessage(UINT message, WPARAM wparam, LPARAM) noexcept {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog();
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
                ::EndDialog(hwnd_, LOWORD(wparam));
                return TRUE;
            }
            return FALSE;
        case WM_DESTROY:
            OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

BOOL CAboutDlg::OnInitDialog() {
    CenterDialog(hwnd_);
    icons_ = SetDialogIcons(hwnd_);
    logo_.reset(LoadPngBitmap(win32::ProgramFolder() + L"Sonarel128.png"));
    if (logo_) {
        ::SendDlgItemMessageW(hwnd_, kLogoControl, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
    }
    web_site_.SetTarget(kWebSiteAddress);
    support_.SetTarget(kSupportAddress);
    web_site_.Attach(::GetDlgItem(hwnd_, kWebSiteControl));
    support_.Attach(::GetDlgItem(hwnd_, kSupportControl));
    return TRUE;
}

void CAboutDlg::OnDestroy() {
    // The control may have made its own copy of the bitmap: free that one too.
    const auto shown = reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageW(hwnd_, kLogoControl, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (shown != nullptr && shown != logo_.get()) ::DeleteObject(shown);
    logo_.reset();
    icons_ = {};
}

void ShowAboutDialog() {
    CAboutDlg about;
    about.RunModal(::GetModuleHandleW(nullptr), CAboutDlg::kTemplate, ::GetActiveWindow());
}

}  // namespace sonarel
