// What the settings record needs from the operating system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace sonarel::settings_platform {

// RegisterWindowMessageW(kRefreshMessageName); 0 where there are no window messages.
std::uint32_t RegisterRefreshMessage();

// The "LOCALAPPDATA" folder; nullopt when undefined or longer than 260 characters.
std::optional<std::filesystem::path> LocalAppDataFolder();

// The whole file, opened with full sharing (read, write and delete), so that
// another program may replace it while it is read; nullopt when unreadable.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Creates `file`, which must not exist yet, writes `bytes` and flushes them to
// the disk. A failed attempt leaves nothing behind.
enum class CreateOutcome : std::uint8_t { Done, NameTaken, Failed };
CreateOutcome CreateDurableFile(const std::filesystem::path& file, std::string_view bytes);

// Puts `source` in the place of `target` in one step. Refused: the target is
// held open by another program without delete sharing; that passes.
enum class ReplaceOutcome : std::uint8_t { Done, Refused, Failed };
ReplaceOutcome MoveFileOver(const std::filesystem::path& source, const std::filesystem::path& target);

// An existing file the user marked read-only.
bool IsReadOnlyFile(const std::filesystem::path& file);

void SleepMilliseconds(unsigned milliseconds);

}  // namespace sonarel::settings_platform
