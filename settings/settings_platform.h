// The two things the settings record needs from the operating system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace sonarel::settings_platform {

// RegisterWindowMessageW(kRefreshMessageName); 0 where there are no window messages.
std::uint32_t RegisterRefreshMessage();

// The "LOCALAPPDATA" folder; nullopt when undefined or longer than 260 characters.
std::optional<std::filesystem::path> LocalAppDataFolder();

}  // namespace sonarel::settings_platform
