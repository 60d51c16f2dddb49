// A fresh folder for one test, made the LOCALAPPDATA of the process while it
// lives; both are restored afterwards.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sonarel::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Sets (or, with nullopt, removes) an environment variable of the process the
// way the programs read it, and puts the old value back when destroyed.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::filesystem::path>& value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::filesystem::path> previous_;
};

// Runs in a folder, restoring the current directory afterwards.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~ScopedCurrentDirectory() { std::filesystem::current_path(previous_); }
    ScopedCurrentDirectory(const ScopedCurrentDirectory&) = delete;
    ScopedCurrentDirectory& operator=(const ScopedCurrentDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace sonarel::testing
