// File-system paths in the system's own characters: UTF-16 on Windows, bytes
// elsewhere. The settings code needs no more than a name joined to a folder,
// which keeps std::filesystem (and the locale code it brings) out of the
// programs.
#pragma once

#include <string>
#include <string_view>

namespace sonarel {

#if defined(_WIN32)
using PathChar = wchar_t;
inline constexpr std::basic_string_view<PathChar> kPathSeparators = L"\\/";
#else
using PathChar = char;
inline constexpr std::basic_string_view<PathChar> kPathSeparators = "/";
#endif
using NativePath = std::basic_string<PathChar>;

// `folder` and an ASCII `name`; the name alone for an empty folder.
inline NativePath JoinPath(const NativePath& folder, std::string_view name) {
    NativePath joined = folder;
    if (!joined.empty() && kPathSeparators.find(joined.back()) == kPathSeparators.npos) {
        joined += kPathSeparators.front();
    }
    joined.append(name.begin(), name.end());
    return joined;
}

// `path` with an ASCII suffix appended: "settings.xml" and ".bak".
inline NativePath WithSuffix(NativePath path, std::string_view suffix) {
    path.append(suffix.begin(), suffix.end());
    return path;
}

// What comes before the last separator: empty for a bare name.
inline NativePath FolderOf(const NativePath& path) {
    const size_t last = path.find_last_of(kPathSeparators.data(), NativePath::npos, kPathSeparators.size());
    if (last == NativePath::npos) return NativePath();
    return path.substr(0, last == 0 ? 1 : last);
}

}  // namespace sonarel
