// Fuzz target: the settings file as the programs load it (ReadXml on a file),
// from arbitrary bytes. Whatever reads as complete must survive a save and a
// second read unchanged.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/settings.h"

namespace sonarel {
namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "settings_reader_fuzz: %s\n", what);
    std::abort();
}

// On a memory file system where there is one: the read is the real one,
// without a disk behind it.
const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/sonarel-fuzz-" + std::to_string(getpid()) + ".xml";
    }();
    return path;
}

bool SameStoredFields(const Settings& a, const Settings& b) {
    return a.color_top_background == b.color_top_background && a.color_bottom_background == b.color_bottom_background &&
           a.color_text == b.color_text && a.color_mute_line == b.color_mute_line && a.volume_delta == b.volume_delta &&
           a.mouse_button_pressed == b.mouse_button_pressed && a.first_run == b.first_run;
}

}  // namespace
}  // namespace sonarel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace sonarel;
    FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (file == nullptr) Fail("cannot write the scratch file");
    if (size > 0 && std::fwrite(data, 1, size, file) != size) Fail("cannot write the scratch file");
    std::fclose(file);

    Settings read{Settings::Blank{}};
    if (!ReadXml(read, ScratchFile())) return 0;
    Settings again{Settings::Blank{}};
    if (!ReadXmlBytes(again, SerializeSettings(read))) Fail("a saved record does not read back");
    if (!SameStoredFields(read, again)) Fail("a saved record reads back different");
    return 0;
}
