// Sonarel's one window: the indicator, the tray icon and its menu, the
// Ctrl+F11 target and the receiver of the settings-reload message.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/product.h"
#include "gesture/gesture_operations_win32.h"
#include "gesture/mouse_hook.h"
#include "indicator/dpi.h"
#include "volume/volume_control.h"
#include "win32/unique_handle.h"
#include "win32/window_base.h"

namespace sonarel {

struct Settings;

class CMainWindow : public win32::WindowBase<CMainWindow>, public IndicatorSurface {
public:
    static constexpr UINT kTrayCallback = WM_USER + 1;
    static constexpr UINT kCommandSettings = 0;
    static constexpr UINT kCommandExit = 1;
    static constexpr int kExitHotKey = 1;
    static constexpr const wchar_t* kTitle = kResidentWindowTitle;
    static constexpr wchar_t kTrayTip[] = L"Sonarel app - volume control by only mouse anywhere on the screen";

    CMainWindow() = default;

    void SetSettings(Settings* settings) { settings_ = settings; }
    // The hook to watch with raw input and the system's notifications.
    void SetMouseHook(MouseHook* hook);
    // Registers the class once and creates the hidden topmost popup.
    HWND Create(HINSTANCE instance);

    VolumeControl& Volume() { return volume_; }
    HMENU TrayMenu() const { return menu_.get(); }
    const NOTIFYICONDATAW& TrayIconData() const { return tray_.data; }
    UINT TaskbarCreatedMessage() const { return taskbar_created_; }

    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    // The indicator on monitors of other DPIs: created, sized and painted at
    // the system DPI until placed on one.
    SIZE SizeAtDpi(UINT dpi) override;
    void PlacedAtDpi(POINT top_left, UINT dpi) override;
    UINT CurrentDpi() const { return dpi_; }

    // NOTIFYICONDATAW as Vista and later define it (956 bytes on x86, 976 on
    // x64); XP is handed the version-3 prefix.
    struct VistaNotifyIconData {
        NOTIFYICONDATAW data;
        HICON balloon_icon;
    };

private:
    friend class win32::WindowBase<CMainWindow>;

    LRESULT OnCreate();
    LRESULT OnPaint();
    LRESULT OnDestroy();
    LRESULT OnHotKey(WPARAM id);
    LRESULT OnRefreshSettings();
    LRESULT OnTrayCallback(WPARAM id, LPARAM mouse_message);
    LRESULT OnRawInput(WPARAM wparam, LPARAM lparam);
    LRESULT OnPowerBroadcast(WPARAM event);
    LRESULT OnSessionChange(WPARAM event);
    LRESULT OnDisplayChange(WPARAM wparam, LPARAM lparam);
    LRESULT OnTimer(WPARAM id, LPARAM lparam);
    LRESULT OnDpiChanged(WPARAM wparam);
    void LaunchSettingsProgram();
    void ShowTrayMenu();
    void FillTrayIconData();

    VolumeControl volume_;
    bool useGuiFont = false;
    // The font (none: the stock one) and outer size at each DPI met so far.
    struct DpiLook {
        win32::unique_hgdiobj font;
        SIZE size{};
    };
    PerDpi<DpiLook> looks_;
    DpiLook& LookAt(UINT dpi);
    UINT dpi_ = 0;          // the DPI it is drawn at now
    POINT placed_at_{};     // where the latest placement put it
    Settings* settings_ = nullptr;
    win32::unique_hmenu menu_;
    VistaNotifyIconData tray_{};
    win32::unique_hicon tray_icon_;
    UINT taskbar_created_ = 0;
    MouseHook* hook_ = nullptr;
#if defined(SONAREL_TEST_SEAMS)
    UINT drop_hook_message_ = ::RegisterWindowMessageW(L"SonarelTestDropHook");
    UINT notification_state_message_ = ::RegisterWindowMessageW(L"SonarelTestNotificationState");
#endif
};

}  // namespace sonarel
