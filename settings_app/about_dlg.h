// The About box: logo, name and version, and two links.
#pragma once

#include <windows.h>

#include <string>

#include "common/color.h"
#include "settings_app/main_dlg.h"
#include "win32/dialog_base.h"
#include "win32/unique_handle.h"

namespace sonarel {

inline constexpr wchar_t kWebSiteAddress[] = L"https://www.korvanix.com/sonarel/";
inline constexpr wchar_t kSupportAddress[] = L"mailto:support@korvanix.com?subject=Sonarel";

// A static control turned into a link: underlined, link colour (visited colour
// after a successful open), hand cursor, tooltip with the target, opened by a
// click (press and release on the label) or by Enter or Space while focused.
class CHyperLink {
public:
    static constexpr COLORREF kLinkColor = RGB(0, 0, 255);
    static constexpr COLORREF kVisitedColor = RGB(128, 0, 128);

    CHyperLink() = default;
    ~CHyperLink();
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    void SetTarget(std::wstring target) { target_ = std::move(target); }
    void Attach(HWND control);
    bool Open();  // true and visited when the shell took the target
    bool Visited() const { return visited_; }

private:
    static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void Paint();

    HWND control_ = nullptr;
    WNDPROC original_proc_ = nullptr;
    std::wstring target_;
    bool visited_ = false;
    bool pressed_ = false;  // the left button went down on the label
    COLORREF link_color_ = kLinkColor;
    COLORREF visited_color_ = kVisitedColor;
    win32::unique_hgdiobj underlined_font_;
    win32::unique_hwnd tooltip_;
};

class CAboutDlg : public win32::DialogBase<CAboutDlg> {
public:
    static constexpr UINT kTemplate = 100;
    static constexpr int kLogoControl = 1015;
    static constexpr int kWebSiteControl = 1016;
    static constexpr int kSupportControl = 1017;

    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) noexcept;

private:
    BOOL OnInitDialog();
    void OnDestroy();

    CHyperLink web_site_;
    CHyperLink support_;
    DialogIcons icons_;
    win32::unique_hbitmap logo_;
};

// The About command: runs the box modally over the active window.
void ShowAboutDialog();

// The browser's link colours from the registry, where valid.
void ReadBrowserAnchorColors(COLORREF& link, COLORREF& visited);

// The PNG at `path` decoded through GDI+, or null.
HBITMAP LoadPngBitmap(const std::wstring& path);

}  // namespace sonarel
