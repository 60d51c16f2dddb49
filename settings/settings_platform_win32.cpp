#include "settings/settings_platform.h"

#include <windows.h>

#include "settings/settings.h"

namespace sonarel::settings_platform {

std::uint32_t RegisterRefreshMessage() { return ::RegisterWindowMessageW(kRefreshMessageName); }

std::optional<std::filesystem::path> LocalAppDataFolder() {
    wchar_t buffer[MAX_PATH + 1] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) return std::nullopt;
    return std::filesystem::path(buffer);
}

}  // namespace sonarel::settings_platform
