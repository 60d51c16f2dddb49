// Holds a file open the way many readers do (no delete sharing) for a while,
// or with no sharing at all, as backup and scanning tools may:
//   file_holder.exe PATH MILLISECONDS EVENT [exclusive]
// EVENT is a named event set once the file is open. Exit code 1: not opened.
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (args == nullptr || count < 4 || count > 5) return 2;
    const bool exclusive = count == 5 && std::wcscmp(args[4], L"exclusive") == 0;
    const HANDLE file = CreateFileW(args[1], GENERIC_READ, exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    if (const HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, args[3])) {
        SetEvent(opened);
        CloseHandle(opened);
    }
    Sleep(static_cast<DWORD>(std::wcstoul(args[2], nullptr, 10)));
    CloseHandle(file);
    return 0;
}
