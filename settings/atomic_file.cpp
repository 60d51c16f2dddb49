#include "settings/atomic_file.h"

#include <cstdio>
#include <random>
#include <system_error>

namespace sonarel {
namespace {

namespace fs = std::filesystem;
using settings_platform::CreateOutcome;
using settings_platform::ReplaceOutcome;

constexpr std::string_view kTemporaryPrefix = "~set";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr int kNameAttempts = 16;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

void RemoveLeftovers(const fs::path& folder) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!IsTemporaryFileName(name) || !entry->is_regular_file(error)) continue;
        const auto written = entry->last_write_time(error);
        if (error) continue;
        const auto age = std::chrono::duration_cast<std::chrono::seconds>(now - written);
        std::error_code ignored;
        if (IsLeftoverTemporary(name, age)) fs::remove(entry->path(), ignored);
    }
}

}  // namespace

std::string TemporaryFileName(std::uint16_t random) {
    char name[16];
    std::snprintf(name, sizeof name, "~set%04x.tmp", static_cast<unsigned>(random));
    return name;
}

bool IsTemporaryFileName(std::string_view file_name) {
    constexpr size_t kLength = kTemporaryPrefix.size() + 4 + kTemporarySuffix.size();
    if (file_name.size() != kLength || file_name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix ||
        file_name.substr(kLength - kTemporarySuffix.size()) != kTemporarySuffix) {
        return false;
    }
    for (size_t i = kTemporaryPrefix.size(); i < kTemporaryPrefix.size() + 4; ++i) {
        if (!IsHexDigit(file_name[i])) return false;
    }
    return true;
}

bool IsLeftoverTemporary(std::string_view file_name, std::chrono::seconds age) {
    return IsTemporaryFileName(file_name) && age >= kLeftoverAge;
}

bool ReplaceRetryingWhileRefused(const std::function<ReplaceOutcome()>& attempt,
                                 const std::function<void(unsigned)>& wait) {
    for (unsigned waited = 0;; waited += kReplaceRetryIntervalMs) {
        switch (attempt()) {
            case ReplaceOutcome::Done: return true;
            case ReplaceOutcome::Failed: return false;
            case ReplaceOutcome::Refused: break;
        }
        if (waited >= kReplaceRetryBudgetMs) return false;
        wait(kReplaceRetryIntervalMs);
    }
}

bool WriteFileAtomically(const fs::path& target, std::string_view bytes) {
    if (settings_platform::IsReadOnlyFile(target)) return false;
    const fs::path folder = target.parent_path();
    RemoveLeftovers(folder.empty() ? fs::path(".") : folder);

    static std::mt19937 generator{std::random_device{}()};
    fs::path temporary;
    CreateOutcome created = CreateOutcome::NameTaken;
    for (int i = 0; i < kNameAttempts && created == CreateOutcome::NameTaken; ++i) {
        temporary = folder / TemporaryFileName(static_cast<std::uint16_t>(generator()));
        created = settings_platform::CreateDurableFile(temporary, bytes);
    }
    if (created != CreateOutcome::Done) return false;

    const bool replaced = ReplaceRetryingWhileRefused(
        [&] { return settings_platform::MoveFileOver(temporary, target); }, settings_platform::SleepMilliseconds);
    if (!replaced) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
    }
    return replaced;
}

}  // namespace sonarel
