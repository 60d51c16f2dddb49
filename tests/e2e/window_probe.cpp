// Prints what the window system says of a top-level window found by title (or
// by class, as "class:NAME"), or of one of its controls:
// "visible L T R B", "hidden L T R B" or "none"; or every monitor, a line each:
// "monitor L T R B [primary]".
//   window_probe.exe TITLE [CONTROL_ID]
//   window_probe.exe monitors
#include <windows.h>

#include <cstdio>
#include <cwchar>

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, RECT*, LPARAM) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        std::printf("monitor %ld %ld %ld %ld%s\n", info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                    info.rcMonitor.bottom, (info.dwFlags & MONITORINFOF_PRIMARY) ? " primary" : "");
    }
    return TRUE;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    if (std::wcscmp(argv[1], L"monitors") == 0) {
        EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
        return 0;
    }
    const bool by_class = std::wcsncmp(argv[1], L"class:", 6) == 0;
    HWND window = by_class ? FindWindowW(argv[1] + 6, nullptr) : FindWindowW(nullptr, argv[1]);
    if (window != nullptr && argc > 2) window = GetDlgItem(window, static_cast<int>(std::wcstol(argv[2], nullptr, 10)));
    if (window == nullptr) {
        std::printf("none\n");
        return 1;
    }
    RECT rect{};
    GetWindowRect(window, &rect);
    std::printf("%s %ld %ld %ld %ld\n", IsWindowVisible(window) ? "visible" : "hidden", rect.left, rect.top,
                rect.right, rect.bottom);
    return 0;
}
