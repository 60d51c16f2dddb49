#include "win32/program_folder.h"

#include <windows.h>

#include <vector>

namespace sonarel::win32 {

std::wstring ProgramFolder() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            std::wstring folder(path.data(), length);
            folder.erase(folder.find_last_of(L"\\/") + 1);
            return folder;
        }
        path.resize(path.size() * 2);
    }
}

}  // namespace sonarel::win32
