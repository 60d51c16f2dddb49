#include "settings/atomic_file.h"

namespace sonarel {
namespace {

using settings_platform::CreateOutcome;
using settings_platform::ReplaceOutcome;

constexpr std::string_view kTemporaryPrefix = "~set";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr size_t kTemporaryLength = kTemporaryPrefix.size() + 4 + kTemporarySuffix.size();
constexpr int kNameAttempts = 16;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// xorshift32: names need only differ, not be unpredictable.
std::uint16_t NextRandom() {
    static std::uint32_t state = settings_platform::RandomSeed() | 1u;
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<std::uint16_t>(state >> 8);
}

}  // namespace

std::string TemporaryFileName(std::uint16_t random) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string name(kTemporaryPrefix);
    for (int shift = 12; shift >= 0; shift -= 4) name += kHex[(random >> shift) & 0xF];
    name += kTemporarySuffix;
    return name;
}

bool IsTemporaryFileName(std::string_view file_name) {
    if (file_name.size() != kTemporaryLength || file_name.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix ||
        file_name.substr(kTemporaryLength - kTemporarySuffix.size()) != kTemporarySuffix) {
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

bool WriteFileAtomically(const NativePath& target, std::string_view bytes, WriteFailure* failure) {
    auto fail = [failure](WriteFailure why) {
        if (failure != nullptr) *failure = why;
        return false;
    };
    if (failure != nullptr) *failure = WriteFailure::None;
    if (settings_platform::IsReadOnlyFile(target)) return fail(WriteFailure::ReadOnly);
    const NativePath folder = FolderOf(target);
    settings_platform::ForEachFile(folder, [](const NativePath& path, std::string_view name, std::chrono::seconds age) {
        if (IsLeftoverTemporary(name, age)) settings_platform::RemoveFile(path);
    });

    NativePath temporary;
    CreateOutcome created = CreateOutcome::NameTaken;
    for (int i = 0; i < kNameAttempts && created == CreateOutcome::NameTaken; ++i) {
        temporary = JoinPath(folder, TemporaryFileName(NextRandom()));
        created = settings_platform::CreateDurableFile(temporary, bytes);
    }
    switch (created) {
        case CreateOutcome::Done: break;
        case CreateOutcome::Denied: return fail(WriteFailure::NoAccess);
        default: return fail(WriteFailure::Other);
    }

    ReplaceOutcome last = ReplaceOutcome::Failed;
    const bool replaced = ReplaceRetryingWhileRefused(
        [&] { return last = settings_platform::MoveFileOver(temporary, target); }, settings_platform::SleepMilliseconds);
    if (replaced) return true;
    settings_platform::RemoveFile(temporary);
    return fail(last == ReplaceOutcome::Refused ? WriteFailure::InUse : WriteFailure::Other);
}

}  // namespace sonarel
