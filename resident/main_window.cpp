#include "resident/main_window.h"

#include <wtsapi32.h>

#include <cstddef>
#include <cwchar>

#include "gesture/eligibility_win32.h"
#include "indicator/indicator_paint.h"
#include "settings/settings.h"
#include "win32/program_folder.h"
#include "win32/proc_address.h"
#include "win32/program_icon.h"

namespace sonarel {
namespace {

constexpr wchar_t kClassName[] = L"SonarelIndicator";
constexpr DWORD kStyle = WS_POPUP | WS_BORDER;                                 // 0x80800000
// XP's notification area takes the structure up to and including guidItem.
constexpr UINT kNotifyIconDataV3Size = offsetof(NOTIFYICONDATAW, guidItem) + sizeof(GUID);

constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;  // 0x188
constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED

// Started elevated, Sonarel would not hear registered messages from programs
// of a lower integrity level (the shell's "TaskbarCreated", the settings
// program's reload) unless it lets them through: for its window on Windows 7
// and later, for the process on Vista. XP has neither function, nor levels.
void AllowMessageFromLowerLevels(HWND window, UINT message) {
    if (message == 0) return;
    using FilterForWindowFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using FilterForProcessFn = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD of the older function
    if (const auto for_window = win32::User32Function<FilterForWindowFn>("ChangeWindowMessageFilterEx")) {
        for_window(window, message, kAllow, nullptr);
    } else if (const auto for_process = win32::User32Function<FilterForProcessFn>("ChangeWindowMessageFilter")) {
        for_process(message, kAllow);
    }
}

}  // namespace

static_assert(sizeof(CMainWindow::VistaNotifyIconData) ==
                  (kNotifyIconDataV3Size + sizeof(HICON) + alignof(HICON) - 1) / alignof(HICON) * alignof(HICON),
              "Vista's NOTIFYICONDATAW is the version-3 structure plus hBalloonIcon");

HWND CMainWindow::Create(HINSTANCE instance) {
    WNDCLASSEXW window_class{};
    if (!::GetClassInfoExW(instance, kClassName, &window_class)) {
        window_class.cbSize = sizeof window_class;
        window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
        window_class.lpfnWndProc = WindowProc;
        window_class.hInstance = instance;
        window_class.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        window_class.lpszClassName = kClassName;
        ::RegisterClassExW(&window_class);
    }
    return ::CreateWindowExW(kExStyle, kClassName, kTitle, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, instance, this);
}

LRESULT CMainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    switch (message) {
        case WM_CREATE: return OnCreate();
        case WM_PAINT: return OnPaint();
        case WM_DESTROY: return OnDestroy();
        case WM_HOTKEY: return OnHotKey(wparam);
        case WM_INPUT: return OnRawInput(wparam, lparam);
        case WM_POWERBROADCAST: return OnPowerBroadcast(wparam);
        case WM_WTSSESSION_CHANGE: return OnSessionChange(wparam);
        case WM_DISPLAYCHANGE: return OnDisplayChange(wparam, lparam);
        case WM_TIMER: return OnTimer(wparam, lparam);
        case kDpiChanged: return OnDpiChanged(wparam);
        case WM_SYSCOMMAND:
            // Alt+F4 on the hidden window, active after the tray menu, must not
            // end Sonarel; WM_CLOSE (the installer, taskkill) still does.
            if ((wparam & 0xFFF0) == SC_CLOSE) return 0;
            break;
        default: break;
    }
#if defined(SONAREL_TEST_SEAMS)
    if (message == drop_hook_message_ && hook_ != nullptr) {
        hook_->DropForTest();
        return 0;
    }
    if (message == notification_state_message_) {
        SetNotificationStateForTest(static_cast<int>(wparam));
        return 0;
    }
#endif
    // Registered at run time, so compared after the fixed messages.
    if (settings_ != nullptr && message == settings_->refresh_message) return OnRefreshSettings();
    if (message == kTrayCallback) return OnTrayCallback(wparam, lparam);
    if (message == WM_COMMAND) {
        switch (LOWORD(wparam)) {
            case kCommandExit:
                ::DestroyWindow(hwnd_);
                return 0;
            case kCommandSettings:
                LaunchSettingsProgram();
                return 0;
            default:
                break;
        }
    }
    if (taskbar_created_ != 0 && message == taskbar_created_) {
        ::Shell_NotifyIconW(NIM_ADD, &tray_.data);
        return 0;
    }
    return DefaultProc(message, wparam, lparam);
}

LRESULT CMainWindow::OnCreate() {
    OnRefreshSettings();
    menu_.reset(::CreatePopupMenu());
    ::AppendMenuW(menu_.get(), MF_STRING, kCommandSettings, L"Settings");
    ::AppendMenuW(menu_.get(), MF_STRING, kCommandExit, L"Exit");
    FillTrayIconData();
    ::Shell_NotifyIconW(NIM_ADD, &tray_.data);
    taskbar_created_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    AllowMessageFromLowerLevels(hwnd_, taskbar_created_);
    if (settings_ != nullptr) AllowMessageFromLowerLevels(hwnd_, settings_->refresh_message);
    useGuiFont = SizeIndicatorWindow(hwnd_);
    // Measured as ever at the system DPI; other DPIs when first placed on one.
    dpi_ = SystemDpi();
    RECT outer{};
    ::GetWindowRect(hwnd_, &outer);
    looks_.At(dpi_, [&](UINT) {
        return DpiLook{win32::unique_hgdiobj(), SIZE{outer.right - outer.left, outer.bottom - outer.top}};
    });
    placed_at_ = POINT{outer.left, outer.top};
    MonitorDpi(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY));  // looks the function up before any gesture
    return 0;
}

CMainWindow::DpiLook& CMainWindow::LookAt(UINT dpi) {
    return looks_.At(dpi, [&](UINT at) {
        DpiLook look{IndicatorFontAt(useGuiFont, at), SIZE{}};
        look.size = MeasureIndicator(hwnd_, useGuiFont, look.font.get());
        return look;
    });
}

SIZE CMainWindow::SizeAtDpi(UINT dpi) { return LookAt(dpi).size; }

void CMainWindow::PlacedAtDpi(POINT top_left, UINT dpi) {
    placed_at_ = top_left;
    if (dpi != dpi_) {
        dpi_ = dpi;
        ::InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

LRESULT CMainWindow::OnDpiChanged(WPARAM wparam) {
    // Its own size for the new DPI, where the placement put it: not the
    // system's suggestion, which scales the old size about another point.
    const UINT dpi = HIWORD(wparam);
    const SIZE size = SizeAtDpi(dpi);
    PlacedAtDpi(placed_at_, dpi);
    ::SetWindowPos(hwnd_, nullptr, placed_at_.x, placed_at_.y, size.cx, size.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void CMainWindow::FillTrayIconData() {
    // The size tells the shell which structure version it is given.
    tray_.data.cbSize = ReportedMajorVersion() >= 6 ? sizeof(VistaNotifyIconData) : kNotifyIconDataV3Size;
    tray_.data.hWnd = hwnd_;
    tray_.data.uID = 0;
    tray_.data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_.data.uCallbackMessage = kTrayCallback;
    tray_icon_ = win32::LoadProgramIcon(SM_CXSMICON, SM_CYSMICON);
    tray_.data.hIcon = tray_icon_.get();
    std::wcsncpy(tray_.data.szTip, kTrayTip, ARRAYSIZE(tray_.data.szTip) - 1);
}

LRESULT CMainWindow::OnPaint() {
    const win32::unique_hdc_paint paint(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const IndicatorColors colors = settings_ != nullptr
                                       ? IndicatorColors{settings_->color_top_background,
                                                         settings_->color_bottom_background, settings_->color_text,
                                                         settings_->color_mute_line}
                                       : IndicatorColors{Settings::kDefaultTopBackground,
                                                         Settings::kDefaultBottomBackground, Settings::kDefaultText,
                                                         Settings::kDefaultMuteLine};
    wchar_t text[32];
    FormatLevelText(volume_.GetLevel(), text, ARRAYSIZE(text));
    // Drawn in the font of the DPI of the monitor it stands on.
    const HGDIOBJ font = dpi_ != 0 ? LookAt(dpi_).font.get() : nullptr;
    DrawIndicatorFace(paint.get(), client, colors, useGuiFont, font, text);
    if (volume_.GetMute()) DrawMuteLine(paint.get(), client, colors.mute_line);
    return 0;
}

void CMainWindow::SetMouseHook(MouseHook* hook) {
    if (hook_ != nullptr && hwnd_ != nullptr) hook_->StopWatching(hwnd_);
    hook_ = hook;
    if (hook_ != nullptr && hwnd_ != nullptr) hook_->WatchWith(hwnd_);
}

LRESULT CMainWindow::OnRawInput(WPARAM wparam, LPARAM lparam) {
    if (hook_ != nullptr) hook_->OnRawInput(reinterpret_cast<HRAWINPUT>(lparam));
    return DefaultProc(WM_INPUT, wparam, lparam);  // frees the input
}

LRESULT CMainWindow::OnPowerBroadcast(WPARAM event) {
    if (hook_ != nullptr && (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND)) {
        hook_->OnSystemChange();
    }
    return TRUE;
}

LRESULT CMainWindow::OnSessionChange(WPARAM event) {
    if (hook_ != nullptr && event == WTS_SESSION_UNLOCK) hook_->OnSystemChange();
    return 0;
}

LRESULT CMainWindow::OnDisplayChange(WPARAM wparam, LPARAM lparam) {
    if (hook_ != nullptr) hook_->OnSystemChange();
    return DefaultProc(WM_DISPLAYCHANGE, wparam, lparam);
}

LRESULT CMainWindow::OnTimer(WPARAM id, LPARAM lparam) {
    if (id == MouseHook::kJudgementTimer && hook_ != nullptr) {
        hook_->OnJudgementTimer();
        return 0;
    }
    return DefaultProc(WM_TIMER, id, lparam);
}

LRESULT CMainWindow::OnDestroy() {
    SetMouseHook(nullptr);
    if (menu_ && ::DestroyMenu(menu_.get())) menu_.release();
    ::Shell_NotifyIconW(NIM_DELETE, &tray_.data);
    tray_.data.hIcon = nullptr;
    tray_icon_.reset();
    ::PostQuitMessage(0);
    return 0;
}

LRESULT CMainWindow::OnHotKey(WPARAM id) {
    if (id == kExitHotKey) ::DestroyWindow(hwnd_);
    return 0;
}

LRESULT CMainWindow::OnRefreshSettings() {
    if (settings_ != nullptr) settings_->Load();
    return 0;
}

LRESULT CMainWindow::OnTrayCallback(WPARAM id, LPARAM mouse_message) {
    if (id == 0 && (mouse_message == WM_LBUTTONDOWN || mouse_message == WM_RBUTTONDOWN)) ShowTrayMenu();
    return 0;
}

void CMainWindow::ShowTrayMenu() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetForegroundWindow(hwnd_);
    // A point on no monitor (a gap between monitors): keep the menu's right
    // edge inside the nearest monitor's work area.
    if (::MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL) == nullptr) {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        if (const HMONITOR nearest = ::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST);
            nearest != nullptr && ::GetMonitorInfoW(nearest, &info)) {
            if (cursor.x < info.rcWork.left) cursor.x = info.rcWork.left;
            if (cursor.x > info.rcWork.right) cursor.x = info.rcWork.right;
        }
    }
    ::TrackPopupMenu(menu_.get(), TPM_RIGHTALIGN, cursor.x, cursor.y, 0, hwnd_, nullptr);
    ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

void CMainWindow::LaunchSettingsProgram() {
    // Found beside this program, and started there, whatever the current directory.
    const std::wstring folder = win32::ProgramFolder();
    const std::wstring program = folder + L"SonarelSettings.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoW(&startup);
    PROCESS_INFORMATION process{};
    if (::CreateProcessW(program.c_str(), nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                         folder.c_str(), &startup, &process)) {
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
}

}  // namespace sonarel
