#include "settings/settings_platform.h"

#include <cstdlib>
#include <cstring>

namespace sonarel::settings_platform {

std::uint32_t RegisterRefreshMessage() { return 0; }

std::optional<std::filesystem::path> LocalAppDataFolder() {
    const char* value = std::getenv("LOCALAPPDATA");
    if (value == nullptr || *value == '\0' || std::strlen(value) > 260) return std::nullopt;
    return std::filesystem::path(value);
}

}  // namespace sonarel::settings_platform
