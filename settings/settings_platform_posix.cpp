#include "settings/settings_platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sonarel::settings_platform {

std::uint32_t RegisterRefreshMessage() { return 0; }

std::optional<NativePath> LocalAppDataFolder() {
    const char* value = std::getenv("LOCALAPPDATA");
    if (value == nullptr || *value == '\0' || std::strlen(value) > 260) return std::nullopt;
    return NativePath(value);
}

bool IsFolder(const NativePath& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

void CreateFolder(const NativePath& path) { ::mkdir(path.c_str(), 0755); }

FileRead ReadWholeFile(const NativePath& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return {missing ? FileRead::Status::Missing : FileRead::Status::Unreadable, {}};
    }
    FileRead read{FileRead::Status::Read, {}};
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            return {FileRead::Status::Unreadable, {}};  // a folder in the file's place, for one
        }
        read.bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    return read;
}

CreateOutcome CreateDurableFile(const NativePath& file, std::string_view bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        if (errno == EEXIST) return CreateOutcome::NameTaken;
        return errno == EACCES || errno == EPERM || errno == EROFS ? CreateOutcome::Denied : CreateOutcome::Failed;
    }
    bool ok = true;
    while (ok && !bytes.empty()) {
        const ssize_t count = ::write(fd, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) continue;
        ok = count > 0;
        if (ok) bytes.remove_prefix(static_cast<size_t>(count));
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) ::unlink(file.c_str());
    return ok ? CreateOutcome::Done : CreateOutcome::Failed;
}

ReplaceOutcome MoveFileOver(const NativePath& source, const NativePath& target) {
    if (std::rename(source.c_str(), target.c_str()) == 0) return ReplaceOutcome::Done;
    return errno == EBUSY || errno == ETXTBSY ? ReplaceOutcome::Refused : ReplaceOutcome::Failed;
}

bool IsReadOnlyFile(const NativePath& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
           (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

void RemoveFile(const NativePath& file) { ::unlink(file.c_str()); }

void ForEachFile(const NativePath& folder, const FileVisitor& visit) {
    DIR* directory = ::opendir(folder.empty() ? "." : folder.c_str());
    if (directory == nullptr) return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(directory)) {
        const NativePath path = JoinPath(folder, entry->d_name);
        struct stat status {};
        if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) continue;
        std::string name = entry->d_name;
        for (char& c : name) {
            if (static_cast<unsigned char>(c) > 0x7F) c = '?';
        }
        visit(path, name, std::chrono::seconds(now - status.st_mtime));
    }
    ::closedir(directory);
}

std::uint32_t RandomSeed() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_nsec) ^ (static_cast<std::uint32_t>(::getpid()) << 16) ^
           static_cast<std::uint32_t>(now.tv_sec);
}

void SleepMilliseconds(unsigned milliseconds) {
    timespec delay{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

}  // namespace sonarel::settings_platform
