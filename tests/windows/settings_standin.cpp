// Stands in for SonarelSettings.exe beside the Windows tests: records that it
// was started, and in which current directory, in launched.txt there.
#include <windows.h>

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    if (FILE* f = _wfopen(L"launched.txt", L"w")) {
        std::fprintf(f, "%ls", folder);
        std::fclose(f);
    }
    return 0;
}
