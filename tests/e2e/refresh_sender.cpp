// Does what SonarelSettings' Apply does last: posts RefreshSettingsMessage to
// the window titled "Sonarel". Exit code 1 when there is none.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const HWND resident = FindWindowW(nullptr, L"Sonarel");
    if (resident == nullptr) return 1;
    return PostMessageW(resident, RegisterWindowMessageW(L"SonarelRefreshSettings"), 0, 0) ? 0 : 1;
}
