// Replacing a small file whole, so that any failure or interruption leaves
// the previous one as it was.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/native_path.h"
#include "settings/settings_platform.h"

namespace sonarel {

// Why a write did not happen, in the terms a user can act on.
enum class WriteFailure : std::uint8_t {
    None,
    ReadOnly,  // the user marked the file read-only
    InUse,     // another program held the file for longer than the retries
    NoAccess,  // this user may not create files in its folder
    Other,
};

// Writes `bytes` to a temporary file beside `target`, flushed to the disk, and
// puts it in the target's place. A read-only target is left untouched (false).
// Temporary files that an interrupted earlier write left behind are removed.
// On false, `failure` (if given) says why.
bool WriteFileAtomically(const NativePath& target, std::string_view bytes, WriteFailure* failure = nullptr);

// The temporary name: "~set" and four hex digits, ".tmp". No longer than
// "settings.xml", so a path the system accepts for the file fits it too.
std::string TemporaryFileName(std::uint16_t random);
bool IsTemporaryFileName(std::string_view file_name);
// A temporary file of ours that no write in progress can still be using.
inline constexpr std::chrono::seconds kLeftoverAge{60};
bool IsLeftoverTemporary(std::string_view file_name, std::chrono::seconds age);

// Another program that holds the target open (a reader, an indexer, a virus
// scanner) refuses the replacement for a moment: try again for about a second.
inline constexpr unsigned kReplaceRetryBudgetMs = 1000;
inline constexpr unsigned kReplaceRetryIntervalMs = 50;
bool ReplaceRetryingWhileRefused(const std::function<settings_platform::ReplaceOutcome()>& attempt,
                                 const std::function<void(unsigned milliseconds)>& wait);

}  // namespace sonarel
