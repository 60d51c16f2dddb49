// Prints what the window system says of a top-level window found by title (or
// by class, as "class:NAME"), or of one of its controls:
// "visible L T R B", "hidden L T R B" or "none".
//   window_probe.exe TITLE [CONTROL_ID]
#include <windows.h>

#include <cstdio>
#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
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
