// Sonarel: start-up, single instance, first run, hook, message loop, exit.
// Exit codes: 0 normal end (or no window), 1 already running, 3 hook refused.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include "gesture/gesture_engine.h"
#include "gesture/gesture_operations_win32.h"
#include "gesture/mouse_hook.h"
#include "resident/main_window.h"
#include "settings/settings.h"
#include "win32/program_folder.h"
#include "win32/unique_handle.h"

namespace sonarel {
namespace {

// Static construction order matters: the window object (and its volume
// control, which opens the mixer) first, then the settings record.
CMainWindow g_main_window;
Settings g_settings;

void RunFirstRunActions() {
    // Saved first: the settings program reads the file, and its Apply must
    // not bring the first run back. Cleared even when the launches fail.
    g_settings.first_run = false;
    g_settings.Save();
    // Opened from the program's own folder, whatever the current directory.
    const std::wstring folder = win32::ProgramFolder();
    ::ShellExecuteW(nullptr, L"open", (folder + L"QuickStartGuide.htm").c_str(), nullptr, folder.c_str(),
                    SW_SHOWNOACTIVATE);
    ::ShellExecuteW(nullptr, L"open", (folder + L"SonarelSettings.exe").c_str(), nullptr, folder.c_str(),
                    SW_SHOWNORMAL);
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL result = ::GetMessageW(&message, nullptr, 0, 0);
        if (result == 0) return static_cast<int>(message.wParam);
        if (result == -1) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

int Run(HINSTANCE instance, const SystemFacts& facts) {
    if (g_settings.first_run) RunFirstRunActions();

    g_main_window.SetSettings(&g_settings);
    const HWND window = g_main_window.Create(instance);
    if (window == nullptr) return 0;

    ::RegisterHotKey(window, CMainWindow::kExitHotKey, MOD_CONTROL, VK_F11);

    Win32GestureOperations operations(window, g_main_window.Volume(), facts, g_main_window);
    GestureEngine engine(g_settings, operations);
    MouseHook hook(engine, instance, facts.own_integrity);
    if (!hook.Install()) {
        ::DestroyWindow(window);  // takes the tray icon with it
        return 3;
    }
    g_main_window.SetMouseHook(&hook);  // until the window is destroyed

    ::ShowWindow(window, SW_HIDE);
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_ABOVE_NORMAL);
    return RunMessageLoop();  // the hook is removed on the way out
}

}  // namespace
}  // namespace sonarel

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace sonarel;
    const win32::unique_kernel_handle mutex(::CreateMutexW(nullptr, FALSE, L"SonarelAloneMutex"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 1;

    ::CoInitialize(nullptr);
    win32::unique_hmodule shell32(::LoadLibraryW(L"shell32.dll"));
    const SystemFacts facts = RecordSystemFacts(shell32.get());

    const int exit_code = Run(instance, facts);

    shell32.reset();
    ::CoUninitialize();
    return exit_code;
}
