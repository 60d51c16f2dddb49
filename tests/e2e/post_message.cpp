// Posts a message to the window titled "Sonarel", as SonarelSettings' Apply
// does with its registered message.
//   post_message.exe NAME [WPARAM]      a registered message ("SonarelRefreshSettings")
//   post_message.exe 0xNNNN [WPARAM]    a message by number (0x007E: WM_DISPLAYCHANGE)
// wParam is 0 unless given, lParam always 0. Exit code 1 when there is no such window.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 3) return 2;
    const HWND resident = FindWindowW(nullptr, L"Sonarel");
    if (resident == nullptr) return 1;
    const UINT message = std::wcsncmp(argv[1], L"0x", 2) == 0
                             ? static_cast<UINT>(std::wcstoul(argv[1], nullptr, 16))
                             : RegisterWindowMessageW(argv[1]);
    const WPARAM wparam = argc == 3 ? static_cast<WPARAM>(std::wcstoul(argv[2], nullptr, 0)) : 0;
    return PostMessageW(resident, message, wparam, 0) ? 0 : 1;
}
