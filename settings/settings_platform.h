// What the settings record needs from the operating system.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/native_path.h"

namespace sonarel::settings_platform {

// RegisterWindowMessageW(kRefreshMessageName); 0 where there are no window messages.
std::uint32_t RegisterRefreshMessage();

// The "LOCALAPPDATA" folder; nullopt when undefined or longer than 260 characters.
std::optional<NativePath> LocalAppDataFolder();

bool IsFolder(const NativePath& path);
void CreateFolder(const NativePath& path);  // one that exists already is fine

// The whole file, opened with full sharing (read, write and delete), so that
// another program may replace it while it is read. Missing only when the
// system says that the file or its folder does not exist: a file that another
// program holds without sharing, or that this user may not read, is there.
struct FileRead {
    enum class Status : std::uint8_t { Read, Missing, Unreadable };
    Status status = Status::Unreadable;
    std::string bytes;  // when read
};
FileRead ReadWholeFile(const NativePath& file);

// Creates `file`, which must not exist yet, writes `bytes` and flushes them to
// the disk. A failed attempt leaves nothing behind. Denied: this user may not
// create files there.
enum class CreateOutcome : std::uint8_t { Done, NameTaken, Denied, Failed };
CreateOutcome CreateDurableFile(const NativePath& file, std::string_view bytes);

// Puts `source` in the place of `target` in one step. Refused: the target is
// held open by another program without delete sharing; that passes.
enum class ReplaceOutcome : std::uint8_t { Done, Refused, Failed };
ReplaceOutcome MoveFileOver(const NativePath& source, const NativePath& target);

// An existing file the user marked read-only.
bool IsReadOnlyFile(const NativePath& file);
void RemoveFile(const NativePath& file);

// Each file (not folder) in `folder`: its path, its name in ASCII ('?' for
// any other character) and the time since it was last written.
using FileVisitor = std::function<void(const NativePath& path, std::string_view name, std::chrono::seconds age)>;
void ForEachFile(const NativePath& folder, const FileVisitor& visit);

// A seed that differs between processes and between calls a moment apart.
std::uint32_t RandomSeed();
void SleepMilliseconds(unsigned milliseconds);

}  // namespace sonarel::settings_platform
