// A stand-in for Sonarel that is slow to exit: it owns the single-instance
// mutex and a window like Sonarel's, and on WM_CLOSE lets go of the mutex, then
// takes two more seconds before the process ends (as a process does while
// its DLLs detach on a busy machine). Copied over an installed Sonarel.exe,
// it shows whether the installer waits for the process, not for the mutex.
#include <windows.h>

namespace {
LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, w, l);
}
}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, L"SonarelAloneMutex");
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 1;

    WNDCLASSW window_class{};
    window_class.lpfnWndProc = StandInProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = L"SonarelIndicator";
    RegisterClassW(&window_class);
    CreateWindowExW(WS_EX_TOOLWINDOW, L"SonarelIndicator", L"Sonarel", WS_POPUP, 0, 0, 10, 10,
                    nullptr, nullptr, instance, nullptr);

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    CloseHandle(mutex);
    Sleep(2000);
    return 0;
}
