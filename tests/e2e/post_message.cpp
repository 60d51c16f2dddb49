// Posts a message to Sonarel's window (class "SonarelIndicator", title "Sonarel"), as SonarelSettings' Apply
// does with its registered message.
//   post_message.exe NAME [WPARAM]      a registered message ("SonarelRefreshSettings")
//   post_message.exe 0xNNNN [WPARAM]    a message by number (0x007E: WM_DISPLAYCHANGE)
//   post_message.exe desktopswitch      no message: the win event EVENT_SYSTEM_DESKTOPSWITCH,
//                                       as when the secure desktop comes and goes
// wParam is 0 unless given, lParam always 0. Exit code 1 when there is no such window.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2 && argc != 3) return 2;
    const HWND resident = FindWindowW(L"SonarelIndicator", L"Sonarel");  // as the installer finds it
    if (resident == nullptr) return 1;
    if (std::wcscmp(argv[1], L"desktopswitch") == 0) {
        NotifyWinEvent(0x0020, GetDesktopWindow(), 0, 0);  // EVENT_SYSTEM_DESKTOPSWITCH, OBJID_WINDOW, CHILDID_SELF
        return 0;
    }
    const UINT message = std::wcsncmp(argv[1], L"0x", 2) == 0
                             ? static_cast<UINT>(std::wcstoul(argv[1], nullptr, 16))
                             : RegisterWindowMessageW(argv[1]);
    const WPARAM wparam = argc == 3 ? static_cast<WPARAM>(std::wcstoul(argv[2], nullptr, 0)) : 0;
    return PostMessageW(resident, message, wparam, 0) ? 0 : 1;
}
