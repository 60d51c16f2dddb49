#include "settings/settings_platform.h"

#include <windows.h>

#include "settings/settings.h"
#include "win32/unique_handle.h"

namespace sonarel::settings_platform {

std::uint32_t RegisterRefreshMessage() { return ::RegisterWindowMessageW(kRefreshMessageName); }

std::optional<std::filesystem::path> LocalAppDataFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    return std::filesystem::path(buffer);
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
    const win32::unique_hfile handle(::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle) return std::nullopt;
    std::string bytes;
    char buffer[16384];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &count, nullptr)) return std::nullopt;
        if (count == 0) return bytes;
        bytes.append(buffer, count);
    }
}

CreateOutcome CreateDurableFile(const std::filesystem::path& file, std::string_view bytes) {
    win32::unique_hfile handle(
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? CreateOutcome::NameTaken
                                                                          : CreateOutcome::Failed;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        ok = ::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written > 0;
        if (ok) bytes.remove_prefix(written);
    }
    ok = ok && ::FlushFileBuffers(handle.get());
    ok = ::CloseHandle(handle.release()) && ok;
    if (!ok) ::DeleteFileW(file.c_str());
    return ok ? CreateOutcome::Done : CreateOutcome::Failed;
}

ReplaceOutcome MoveFileOver(const std::filesystem::path& source, const std::filesystem::path& target) {
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ReplaceOutcome::Done;
    }
    switch (::GetLastError()) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ReplaceOutcome::Refused;
        case ERROR_ACCESS_DENIED: {
            // What an open handle without delete sharing gives; a folder in the
            // file's place gives it too, and never passes.
            const DWORD attributes = ::GetFileAttributesW(target.c_str());
            const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            return folder ? ReplaceOutcome::Failed : ReplaceOutcome::Refused;
        }
        default:
            return ReplaceOutcome::Failed;
    }
}

bool IsReadOnlyFile(const std::filesystem::path& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void SleepMilliseconds(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace sonarel::settings_platform
