#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/temp_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;

std::wstring CurrentDirectory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    GetCurrentDirectoryW(MAX_PATH + 1, buffer);
    return buffer;
}

TEST(SettingsWin32Test, RefreshMessageIsTheRegisteredOne) {
    testing::TempFolder folder;
    testing::ScopedEnvironment local_app_data("LOCALAPPDATA", folder.path());
    const Settings settings;
    EXPECT_GE(settings.refresh_message, 0xC000u);
    EXPECT_EQ(settings.refresh_message, RegisterWindowMessageW(L"SonarelRefreshSettings"));
}

TEST(SettingsWin32Test, WidePathsWorkEndToEnd) {
    testing::TempFolder folder;
    const fs::path base = folder.path() / L"Daten \u00dcbersicht \u97f3\u91cf";
    ASSERT_TRUE(CreateDirectoryW(base.c_str(), nullptr));
    testing::ScopedEnvironment local_app_data("LOCALAPPDATA", base);
    Settings settings;
    settings.volume_delta = 64;
    ASSERT_TRUE(settings.Save());  // replaces the file written at construction
    const std::wstring file = (base / L"korvanix" / L"sonarel" / L"settings.xml").wstring();
    EXPECT_NE(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    Settings reread{Settings::Blank{}};
    EXPECT_TRUE(reread.Load());
    EXPECT_EQ(reread.volume_delta, 64);
}

TEST(SettingsWin32Test, OverlongOrMissingLocalAppDataFallsBackToTheCurrentDirectory) {
    testing::TempFolder folder;
    testing::TempFolder elsewhere;
    const std::wstring before = CurrentDirectory();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
    const std::wstring overlong = elsewhere.path().wstring() + L"\\" + std::wstring(300, L'x');
    for (const std::optional<fs::path>& value : {std::optional<fs::path>(overlong), std::optional<fs::path>()}) {
        fs::remove_all(folder.path() / "korvanix");
        testing::ScopedEnvironment local_app_data("LOCALAPPDATA", value);
        const Settings settings;
        EXPECT_TRUE(settings.first_run);
        EXPECT_NE(GetFileAttributesW((folder.path() / L"korvanix\\sonarel\\settings.xml").c_str()),
                  INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(CurrentDirectory(), folder.path().wstring());
    }
    SetCurrentDirectoryW(before.c_str());
}

}  // namespace
}  // namespace sonarel
