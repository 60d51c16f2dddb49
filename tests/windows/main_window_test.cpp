// CMainWindow's message table, driven with real messages on a real window.
#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "indicator/indicator_paint.h"
#include "resident/main_window.h"
#include "settings/settings.h"
#include "support/temp_folder.h"
#include "win32/program_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_.SetSettings(&settings_);
        hwnd_ = window_.Create(GetModuleHandleW(nullptr));
        ASSERT_NE(hwnd_, nullptr);
    }
    void TearDown() override {
        if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    // The window is gone and its destruction handler posted WM_QUIT with 0.
    void ExpectProgramEnded() {
        EXPECT_FALSE(IsWindow(hwnd_));
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                EXPECT_EQ(message.wParam, 0u);
                return;
            }
        }
        ADD_FAILURE() << "no WM_QUIT was posted";
    }

    testing::TempFolder folder_;
    testing::ScopedEnvironment local_app_data_{"LOCALAPPDATA", folder_.path()};
    Settings settings_;
    CMainWindow window_;
    HWND hwnd_ = nullptr;
};

TEST_F(MainWindowTest, CreationMakesAHiddenTopmostIndicatorWithTrayIconAndMenu) {
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE));
    EXPECT_EQ(style & (WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_VISIBLE), 0x80800000u);
    // The system manages WS_EX_WINDOWEDGE itself and drops it for a window
    // without a raised frame.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)) & 0x88u, 0x88u);
    EXPECT_FALSE(IsWindowVisible(hwnd_));
    wchar_t title[32] = {};
    GetWindowTextW(hwnd_, title, 32);
    EXPECT_STREQ(title, L"Sonarel");
    EXPECT_EQ(FindWindowW(nullptr, L"Sonarel"), hwnd_);

    RECT rect{};
    GetWindowRect(hwnd_, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_GT(rect.right - rect.left, 40) << "sized from \" Volume: 000 % \"";
    EXPECT_GT(rect.bottom - rect.top, 8);

    const HMENU menu = window_.TrayMenu();
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t text[32];
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Settings");
    EXPECT_EQ(GetMenuItemID(menu, 0), 0u);
    GetMenuStringW(menu, 1, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"Exit");
    EXPECT_EQ(GetMenuItemID(menu, 1), 1u);

    const NOTIFYICONDATAW& tray = window_.TrayIconData();
    EXPECT_EQ(tray.cbSize, sizeof(CMainWindow::VistaNotifyIconData)) << "Wine reports Windows 10";
    EXPECT_EQ(tray.cbSize, sizeof(void*) == 8 ? 976u : 956u);
    EXPECT_EQ(tray.hWnd, hwnd_);
    EXPECT_EQ(tray.uFlags, 7u);
    EXPECT_EQ(tray.uCallbackMessage, 0x0401u);
    EXPECT_STREQ(tray.szTip, L"Sonarel app - volume control by only mouse anywhere on the screen");
    EXPECT_EQ(window_.TaskbarCreatedMessage(), RegisterWindowMessageW(L"TaskbarCreated"));
    EXPECT_EQ(SendMessageW(hwnd_, window_.TaskbarCreatedMessage(), 0, 0), 0);
}

TEST_F(MainWindowTest, RefreshMessageReloadsWhateverItsParameters) {
    Settings changed = settings_;
    changed.volume_delta = 42;
    changed.mouse_button_pressed = 2;
    ASSERT_TRUE(changed.Save());
    EXPECT_EQ(SendMessageW(hwnd_, settings_.refresh_message, 7, 9), 0);
    EXPECT_EQ(settings_.volume_delta, 42);
    EXPECT_EQ(settings_.mouse_button_pressed, 2);
}

TEST_F(MainWindowTest, OnlyHotKeyOneEndsTheProgram) {
    EXPECT_EQ(SendMessageW(hwnd_, WM_HOTKEY, 2, 0), 0);
    EXPECT_TRUE(IsWindow(hwnd_));
    SendMessageW(hwnd_, WM_HOTKEY, 1, 0);
    ExpectProgramEnded();
}

TEST_F(MainWindowTest, ExitCommandAndCloseEndTheProgramOtherCommandsDoNot) {
    SendMessageW(hwnd_, WM_COMMAND, 7, 0);
    SendMessageW(hwnd_, CMainWindow::kTrayCallback, 1, WM_LBUTTONDOWN);  // another icon's id: nothing
    SendMessageW(hwnd_, CMainWindow::kTrayCallback, 0, WM_LBUTTONUP);    // releases open nothing
    EXPECT_TRUE(IsWindow(hwnd_));
    SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(1, 0), 0);
    ExpectProgramEnded();

    hwnd_ = window_.Create(GetModuleHandleW(nullptr));
    ASSERT_NE(hwnd_, nullptr);
    SendMessageW(hwnd_, WM_CLOSE, 0, 0);
    ExpectProgramEnded();
}

TEST_F(MainWindowTest, EndingTheWindowRemovesTheTrayIconAndDestroysItsImage) {
    // What every end of the program relies on, the refused hook's exit included.
    NOTIFYICONDATAW tray = window_.TrayIconData();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(tray.hIcon, &info));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    tray.uFlags = NIF_TIP;
    ASSERT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &tray)) << "the icon is in the notification area";

    DestroyWindow(hwnd_);
    EXPECT_FALSE(Shell_NotifyIconW(NIM_MODIFY, &tray)) << "the icon is still in the notification area";
    EXPECT_FALSE(GetIconInfo(tray.hIcon, &info)) << "the tray image outlived the window";
    ExpectProgramEnded();
}

TEST_F(MainWindowTest, SettingsCommandStartsTheProgramBesideThisOneInItsFolder) {
    const fs::path program_folder = win32::ProgramFolder();
    const fs::path marker = program_folder / "launched.txt";
    fs::remove(marker);
    testing::ScopedCurrentDirectory elsewhere(folder_.path());  // not the program's folder

    EXPECT_EQ(SendMessageW(hwnd_, WM_COMMAND, 0, 0), 0);
    for (int i = 0; i < 100 && !fs::exists(marker); ++i) Sleep(50);
    ASSERT_TRUE(fs::exists(marker)) << "SonarelSettings.exe was not started";
    Sleep(200);
    std::stringstream folder;
    {
        std::ifstream in(marker);
        folder << in.rdbuf();
    }
    EXPECT_EQ(fs::path(folder.str()) / "", program_folder);
    std::error_code ignored;
    fs::remove(marker, ignored);
}

TEST_F(MainWindowTest, TheIndicatorHasItsOwnSizeAtEachMonitorDpi) {
    RECT created{};
    GetWindowRect(hwnd_, &created);
    const SIZE at_system{created.right - created.left, created.bottom - created.top};
    const UINT system_dpi = SystemDpi();
    EXPECT_EQ(window_.CurrentDpi(), system_dpi);
    const SIZE same = window_.SizeAtDpi(system_dpi);
    EXPECT_EQ(same.cx, at_system.cx) << "the system DPI keeps the size it was created with";
    EXPECT_EQ(same.cy, at_system.cy);

    // 100, 125, 150 and 200 %: the text extent in the font made for each.
    SIZE previous{};
    for (const UINT dpi : {96u, 120u, 144u, 192u}) {
        SCOPED_TRACE(dpi);
        const SIZE size = window_.SizeAtDpi(dpi);
        const double expected_width = static_cast<double>(at_system.cx) * dpi / system_dpi;
        EXPECT_NEAR(size.cx, expected_width, expected_width * 0.15);
        EXPECT_GT(size.cy, 0);
        if (previous.cx != 0) {
            EXPECT_GT(size.cx, previous.cx);
            EXPECT_GE(size.cy, previous.cy);
        }
        previous = size;
        const SIZE again = window_.SizeAtDpi(dpi);
        EXPECT_EQ(again.cx, size.cx);
        EXPECT_EQ(again.cy, size.cy);
    }
    RECT now{};
    GetWindowRect(hwnd_, &now);
    EXPECT_EQ(now.right - now.left, at_system.cx) << "asking for a size does not resize the window";
}

TEST_F(MainWindowTest, OnADpiChangeTheWindowKeepsItsOwnSizeWhereThePlacementPutIt) {
    window_.PlacedAtDpi(POINT{300, 200}, SystemDpi());
    const UINT other = SystemDpi() == 144 ? 96 : 144;
    RECT suggested{1000, 900, 1400, 1000};  // the system's: scaled about another point
    EXPECT_EQ(SendMessageW(hwnd_, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(other, other),
                           reinterpret_cast<LPARAM>(&suggested)),
              0);
    const SIZE expected = window_.SizeAtDpi(other);
    RECT now{};
    GetWindowRect(hwnd_, &now);
    EXPECT_EQ(now.left, 300);
    EXPECT_EQ(now.top, 200);
    EXPECT_EQ(now.right - now.left, expected.cx);
    EXPECT_EQ(now.bottom - now.top, expected.cy);
    EXPECT_EQ(window_.CurrentDpi(), other) << "and paints at the new DPI";
}

}  // namespace
}  // namespace sonarel
