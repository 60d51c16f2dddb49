// Prints a shortcut as IShellLinkW reads it, in UTF-8:
// "TARGET|WORKING DIRECTORY|DESCRIPTION", or "none".
//   shortcut_probe.exe PATH.lnk
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <cstdio>

namespace {

void PrintUtf8(const wchar_t* text) {
    char buffer[4 * MAX_PATH] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    std::fputs(buffer, stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 2;
    using Microsoft::WRL::ComPtr;
    CoInitialize(nullptr);
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link))) ||
        FAILED(link.As(&file)) || FAILED(file->Load(argv[1], STGM_READ))) {
        std::puts("none");
        return 1;
    }
    wchar_t text[MAX_PATH] = {};
    link->GetPath(text, MAX_PATH, nullptr, 0);
    PrintUtf8(text);
    std::fputs("|", stdout);
    link->GetWorkingDirectory(text, MAX_PATH);
    PrintUtf8(text);
    std::fputs("|", stdout);
    link->GetDescription(text, MAX_PATH);
    PrintUtf8(text);
    std::fputs("\n", stdout);
    return 0;
}
