// A plain application window for the end-to-end tests: it prints every mouse
// button, wheel and (button-held) move message it receives, one per line, to
// standard output, and exits on WM_CLOSE. With the argument "fullscreen" it
// covers the whole primary monitor, borderless, as a game or a video would;
// with "at L T R B" it covers that rectangle of the screen (any monitor).
#include <windows.h>
#include <windowsx.h>

#include <cstdio>
#include <cwchar>

namespace {

void Log(const char* what, LPARAM lparam) {
    std::printf("%s %d %d\n", what, GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
    std::fflush(stdout);
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_LBUTTONDOWN: Log("ldown", lparam); return 0;
        case WM_LBUTTONUP: Log("lup", lparam); return 0;
        case WM_RBUTTONDOWN: Log("rdown", lparam); return 0;
        case WM_RBUTTONUP: Log("rup", lparam); return 0;
        case WM_MOUSEWHEEL: Log("wheel", lparam); return 0;
        case WM_MOUSEMOVE:
            if (wparam & (MK_LBUTTON | MK_RBUTTON)) Log("drag", lparam);
            return 0;
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
    const bool fullscreen = command_line != nullptr && wcsstr(command_line, L"fullscreen") != nullptr;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = RecorderProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"ClickRecorder";
    RegisterClassW(&window_class);
    RECT area = fullscreen ? RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}
                           : RECT{100, 100, 900, 700};
    if (const wchar_t* at = command_line != nullptr ? wcsstr(command_line, L"at ") : nullptr) {
        swscanf(at + 3, L"%ld %ld %ld %ld", &area.left, &area.top, &area.right, &area.bottom);
    }
    HWND window = CreateWindowExW(0, L"ClickRecorder", L"Click recorder", WS_POPUP | WS_VISIBLE, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 2;
    std::printf("ready\n");
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
