#include "settings/settings.h"

#include <limits>

#include <pugixml.hpp>

#include "settings/atomic_file.h"
#include "settings/settings_platform.h"

namespace sonarel {
namespace {

constexpr char kTopBackground[] = "color_top_background";
constexpr char kBottomBackground[] = "color_bottom_background";
constexpr char kText[] = "color_text";
constexpr char kMuteLine[] = "color_mute_line";
constexpr char kMouseButton[] = "mouse_button_pressed";
constexpr char kVolumeDelta[] = "volume_delta";
constexpr char kFirstRun[] = "first_run";

class StringWriter final : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        out_.append(static_cast<const char*>(data), size);
    }

private:
    std::string& out_;
};

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::int32_t ParseSettingInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Accumulate the magnitude, stopping early once it is beyond any clamp.
    constexpr std::int64_t kBeyond = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 2;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude < kBeyond) magnitude = magnitude * 10 + (text[i] - '0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

bool ParseSettingFlag(std::string_view text) {
    if (text.empty()) return false;
    switch (text.front()) {
        case '1': case 't': case 'T': case 'y': case 'Y': return true;
        default: return false;
    }
}

bool ReadXml(Settings& settings, const NativePath& file) {
    const settings_platform::FileRead read = settings_platform::ReadWholeFile(file);
    return read.status == settings_platform::FileRead::Status::Read && ReadXmlBytes(settings, read.bytes);
}

settings_platform::FileRead ReadRetryingWhileUnreadable(const std::function<settings_platform::FileRead()>& attempt,
                                                        const std::function<void(unsigned)>& wait) {
    for (unsigned waited = 0;; waited += kReadRetryIntervalMs) {
        settings_platform::FileRead read = attempt();
        if (read.status != settings_platform::FileRead::Status::Unreadable || waited >= kReadRetryBudgetMs) return read;
        wait(kReadRetryIntervalMs);
    }
}

bool ReadXmlBytes(Settings& settings, std::string_view bytes) {
    // Default parse options and encoding detection, as loading the file would.
    pugi::xml_document document;
    if (!document.load_buffer(bytes.data(), bytes.size())) return false;

    // Keys in lookup order; the first missing one ends the read, keeping what came before.
    auto read_integer = [&](const char* key, auto& field) {
        const pugi::xml_node node = document.child(key);
        if (!node) return false;
        field = static_cast<std::remove_reference_t<decltype(field)>>(
            ParseSettingInteger(node.attribute("value").value()));
        return true;
    };
    if (!read_integer(kTopBackground, settings.color_top_background)) return false;
    if (!read_integer(kBottomBackground, settings.color_bottom_background)) return false;
    if (!read_integer(kText, settings.color_text)) return false;
    if (!read_integer(kMuteLine, settings.color_mute_line)) return false;
    if (!read_integer(kMouseButton, settings.mouse_button_pressed)) return false;
    if (!read_integer(kVolumeDelta, settings.volume_delta)) return false;
    const pugi::xml_node first_run = document.child(kFirstRun);
    if (!first_run) return false;
    settings.first_run = ParseSettingFlag(first_run.attribute("value").value());
    return true;
}

std::string SerializeSettings(const Settings& settings) {
    pugi::xml_document document;
    auto append = [&](const char* key, auto value) {
        document.append_child(key).append_attribute("value").set_value(value);
    };
    // Colours are stored as the signed 32-bit value, as "%d" prints them.
    append(kTopBackground, static_cast<int>(settings.color_top_background));
    append(kBottomBackground, static_cast<int>(settings.color_bottom_background));
    append(kText, static_cast<int>(settings.color_text));
    append(kMuteLine, static_cast<int>(settings.color_mute_line));
    append(kMouseButton, static_cast<int>(settings.mouse_button_pressed));
    append(kVolumeDelta, static_cast<int>(settings.volume_delta));
    append(kFirstRun, settings.first_run);

    std::string bytes;
    StringWriter writer(bytes);
    document.save(writer, PUGIXML_TEXT("\t"), pugi::format_default, pugi::encoding_auto);
    return bytes;
}

bool WriteXml(const Settings& settings, const NativePath& file, WriteFailure* failure) {
    return WriteFileAtomically(file, SerializeSettings(settings), failure);
}

NativePath SettingsFilePath(const std::optional<NativePath>& local_app_data) {
    NativePath folder;  // empty: the current directory
    if (local_app_data && settings_platform::IsFolder(*local_app_data)) folder = *local_app_data;
    for (const char* name : {"korvanix", "sonarel"}) {
        const NativePath next = JoinPath(folder, name);
        settings_platform::CreateFolder(next);
        if (settings_platform::IsFolder(next)) folder = next;
    }
    return JoinPath(folder, "settings.xml");
}

Settings::Settings() {
    refresh_message = settings_platform::RegisterRefreshMessage();
    const NativePath file = SettingsFilePath(settings_platform::LocalAppDataFolder());
    using Status = settings_platform::FileRead::Status;
    const settings_platform::FileRead read = ReadRetryingWhileUnreadable(
        [&] { return settings_platform::ReadWholeFile(file); }, settings_platform::SleepMilliseconds);
    switch (read.status) {
        case Status::Read:
            if (ReadXmlBytes(*this, read.bytes)) return;
            // One typo in a hand-edited file must not cost every setting for
            // good: the unusable file is kept beside its replacement.
            if (!read.bytes.empty()) WriteFileAtomically(WithSuffix(file, ".bak"), read.bytes);
            break;
        case Status::Missing:
            break;
        case Status::Unreadable:
            // The user's settings are in there: never write over them, and
            // this is no first run.
            SetDefaults();
            first_run = false;
            file_unreadable = true;
            return;
    }
    SetDefaults();
    Save();
}

bool Settings::Load() {
    const bool loaded = ReadXml(*this, SettingsFilePath(settings_platform::LocalAppDataFolder()));
    if (loaded) file_unreadable = false;
    return loaded;
}

bool Settings::Save(WriteFailure* failure) const {
    return WriteXml(*this, SettingsFilePath(settings_platform::LocalAppDataFolder()), failure);
}

void Settings::SetDefaults() {
    color_text = kDefaultText;
    color_top_background = kDefaultTopBackground;
    color_bottom_background = kDefaultBottomBackground;
    color_mute_line = kDefaultMuteLine;
    volume_delta = kDefaultVolumeDelta;
    mouse_button_pressed = kLeftTrigger;
    first_run = true;
}

}  // namespace sonarel
