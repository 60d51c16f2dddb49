// Prints what the window system says of a top-level window found by title:
// "visible L T R B", "hidden L T R B" or "none".
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HWND window = FindWindowW(nullptr, argv[1]);
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
