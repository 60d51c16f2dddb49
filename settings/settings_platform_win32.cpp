#include "settings/settings_platform.h"

#include <windows.h>

#include "settings/settings.h"
#include "win32/unique_handle.h"

namespace sonarel::settings_platform {

std::uint32_t RegisterRefreshMessage() { return ::RegisterWindowMessageW(kRefreshMessageName); }

std::optional<NativePath> LocalAppDataFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    return NativePath(buffer, length);
}

bool IsFolder(const NativePath& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CreateFolder(const NativePath& path) { ::CreateDirectoryW(path.c_str(), nullptr); }

FileRead ReadWholeFile(const NativePath& file) {
    const win32::unique_hfile handle(::CreateFileW(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? FileRead::Status::Missing : FileRead::Status::Unreadable, {}};
    }
    FileRead read{FileRead::Status::Read, {}};
    char buffer[16384];
    for (;;) {
        DWORD count = 0;
        if (!::ReadFile(handle.get(), buffer, sizeof buffer, &count, nullptr)) return {FileRead::Status::Unreadable, {}};
        if (count == 0) return read;
        read.bytes.append(buffer, count);
    }
}

CreateOutcome CreateDurableFile(const NativePath& file, std::string_view bytes) {
    win32::unique_hfile handle(
        ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return CreateOutcome::NameTaken;
        return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? CreateOutcome::Denied
                                                                            : CreateOutcome::Failed;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        DWORD written = 0;
        ok = ::WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
             written > 0;
        if (ok) bytes.remove_prefix(written);
    }
    ok = ok && ::FlushFileBuffers(handle.get());
    ok = ::CloseHandle(handle.release()) && ok;
    if (!ok) ::DeleteFileW(file.c_str());
    return ok ? CreateOutcome::Done : CreateOutcome::Failed;
}

ReplaceOutcome MoveFileOver(const NativePath& source, const NativePath& target) {
    if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ReplaceOutcome::Done;
    }
    switch (::GetLastError()) {
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return ReplaceOutcome::Refused;
        case ERROR_ACCESS_DENIED:
            // What an open handle without delete sharing gives; a folder in the
            // file's place gives it too, and never passes.
            return IsFolder(target) ? ReplaceOutcome::Failed : ReplaceOutcome::Refused;
        default:
            return ReplaceOutcome::Failed;
    }
}

bool IsReadOnlyFile(const NativePath& file) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
           !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RemoveFile(const NativePath& file) { ::DeleteFileW(file.c_str()); }

void ForEachFile(const NativePath& folder, const FileVisitor& visit) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(JoinPath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now_time{};
    ::GetSystemTimeAsFileTime(&now_time);
    auto ticks = [](const FILETIME& t) { return (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    const std::int64_t now = ticks(now_time);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name;
        for (const wchar_t* c = found.cFileName; *c != L'\0'; ++c) name += *c < 0x80 ? static_cast<char>(*c) : '?';
        const NativePath path = folder.empty() ? NativePath(found.cFileName) : JoinPath(folder, "") + found.cFileName;
        visit(path, name, std::chrono::seconds((now - ticks(found.ftLastWriteTime)) / 10000000));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::uint32_t RandomSeed() {
    LARGE_INTEGER counter{};
    ::QueryPerformanceCounter(&counter);
    return static_cast<std::uint32_t>(counter.QuadPart) ^ (::GetCurrentProcessId() << 16) ^ ::GetTickCount();
}

void SleepMilliseconds(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace sonarel::settings_platform
