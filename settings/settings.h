// The settings record shared by Sonarel and SonarelSettings, and its file
// %LOCALAPPDATA%\korvanix\sonarel\settings.xml.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/color.h"
#include "settings/atomic_file.h"
#include "settings/native_path.h"
#include "settings/settings_platform.h"

namespace sonarel {

inline constexpr wchar_t kRefreshMessageName[] = L"SonarelRefreshSettings";

struct Settings {
    static constexpr ColorRef kDefaultTopBackground = 65408;        // 128, 255, 0
    static constexpr ColorRef kDefaultBottomBackground = 16776960;  // 0, 255, 255
    static constexpr ColorRef kDefaultText = 0;
    static constexpr ColorRef kDefaultMuteLine = 255;
    static constexpr std::int32_t kDefaultVolumeDelta = 5;
    static constexpr std::int32_t kLeftTrigger = 0;
    static constexpr std::int32_t kRightTrigger = 2;

    ColorRef color_top_background = 0;
    ColorRef color_bottom_background = 0;
    ColorRef color_text = 0;
    ColorRef color_mute_line = 0;
    std::int32_t volume_delta = 0;          // percent per wheel notch, unchecked
    std::int32_t mouse_button_pressed = 0;  // 0 left trigger, 2 right trigger, else none
    bool first_run = false;
    std::uint32_t refresh_message = 0;      // registered message id, never stored
    // Construction found the file but could not read it, even after waiting
    // (another program holds it, or this user may not read it): the record
    // holds the defaults with first_run false, and nothing was written. A
    // successful Load clears it. Never stored.
    bool file_unreadable = false;

    // Registers the refresh message and loads the file; a file that cannot be
    // used is kept as settings.xml.bak and replaced by one holding the defaults,
    // and a missing one is written with the defaults.
    Settings();

    // A record of zeros that touches neither the file nor the system.
    struct Blank {};
    explicit Settings(Blank) {}

    // True only when the file parsed and held every key. On false the fields
    // read before the first missing key are kept (no defaults are applied).
    bool Load();
    // Writes the whole record; the previous file survives any failure, and
    // `failure` (if given) then says why.
    bool Save(WriteFailure* failure = nullptr) const;
    // Defaults of every stored field, first_run true.
    void SetDefaults();
};

// The file itself, relative paths meaning the current directory. The reader
// shares the file fully; the writer replaces it whole, never a read-only one.
bool ReadXml(Settings& settings, const NativePath& file);
bool WriteXml(const Settings& settings, const NativePath& file, WriteFailure* failure = nullptr);
// The reader's parse of the file's bytes.
bool ReadXmlBytes(Settings& settings, std::string_view bytes);

// Another program may hold the file without sharing for a moment (a virus
// scanner, a backup or sync tool): an unreadable file is tried again for up
// to 2 s. A missing file is not.
inline constexpr unsigned kReadRetryBudgetMs = 2000;
inline constexpr unsigned kReadRetryIntervalMs = 100;
settings_platform::FileRead ReadRetryingWhileUnreadable(const std::function<settings_platform::FileRead()>& attempt,
                                                        const std::function<void(unsigned milliseconds)>& wait);

// The exact bytes WriteXml stores for a record.
std::string SerializeSettings(const Settings& settings);

// Value conversions of the reader: wcstol in base 10 (saturating), and the
// first-character rule of first_run.
std::int32_t ParseSettingInteger(std::string_view text);
bool ParseSettingFlag(std::string_view text);

// <base>\korvanix\sonarel\settings.xml, creating both folders. A missing or
// unusable base (or a folder that cannot be made) leaves the path relative to
// the current directory at that step.
NativePath SettingsFilePath(const std::optional<NativePath>& local_app_data);

}  // namespace sonarel
