#include "support/temp_folder.h"

#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace sonarel::testing {
namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::random_device random;
    path_ = fs::temp_directory_path() / ("sonarel-test-" + std::to_string(random()) + std::to_string(random()));
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

namespace {

std::optional<fs::path> GetVariable(const std::string& name) {
#ifdef _WIN32
    const std::wstring wide(name.begin(), name.end());
    wchar_t buffer[32768];
    const DWORD length = GetEnvironmentVariableW(wide.c_str(), buffer, 32768);
    if (length == 0 || length >= 32768) return std::nullopt;
    return fs::path(std::wstring(buffer, length));
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return fs::path(value);
#endif
}

void SetVariable(const std::string& name, const std::optional<fs::path>& value) {
#ifdef _WIN32
    const std::wstring wide(name.begin(), name.end());
    SetEnvironmentVariableW(wide.c_str(), value ? value->c_str() : nullptr);
#else
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
#endif
}

}  // namespace

ScopedEnvironment::ScopedEnvironment(const char* name, const std::optional<fs::path>& value)
    : name_(name), previous_(GetVariable(name)) {
    SetVariable(name_, value);
}

ScopedEnvironment::~ScopedEnvironment() { SetVariable(name_, previous_); }

std::string ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace sonarel::testing
