#include "settings/settings.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScopedEnvironment;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char kDefaultFile[] =
    "<?xml version=\"1.0\"?>\n"
    "<color_top_background value=\"65408\" />\n"
    "<color_bottom_background value=\"16776960\" />\n"
    "<color_text value=\"0\" />\n"
    "<color_mute_line value=\"255\" />\n"
    "<mouse_button_pressed value=\"0\" />\n"
    "<volume_delta value=\"5\" />\n"
    "<first_run value=\"true\" />\n";

// A file with every key, so one test can vary a single element.
std::string FileWith(const std::string& volume_delta_element, const std::string& first_run_value = "false") {
    return "<?xml version=\"1.0\"?>\n"
           "<color_top_background value=\"1\" />\n"
           "<color_bottom_background value=\"2\" />\n"
           "<color_text value=\"3\" />\n"
           "<color_mute_line value=\"4\" />\n"
           "<mouse_button_pressed value=\"2\" />\n" +
           volume_delta_element + "\n<first_run value=\"" + first_run_value + "\" />\n";
}

class SettingsFileTest : public ::testing::Test {
protected:
    fs::path SettingsFile() const { return folder_.path() / "korvanix" / "sonarel" / "settings.xml"; }
    void PutFile(const std::string& bytes) {
        fs::create_directories(SettingsFile().parent_path());
        WriteBytes(SettingsFile(), bytes);
    }
    // Reads bytes through ReadXml into a record that starts from sentinels.
    std::pair<bool, Settings> Read(const std::string& bytes) {
        const fs::path file = folder_.path() / "read.xml";
        WriteBytes(file, bytes);
        Settings settings{Settings::Blank{}};
        settings.volume_delta = -77;
        settings.first_run = true;
        const bool ok = ReadXml(settings, file);
        return {ok, settings};
    }

    TempFolder folder_;
    ScopedEnvironment local_app_data_{"LOCALAPPDATA", folder_.path()};
};

TEST_F(SettingsFileTest, FirstConstructionCreatesFoldersAndWritesExactDefaults) {
    const Settings settings;
    EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
    EXPECT_TRUE(settings.first_run);
    EXPECT_EQ(settings.volume_delta, 5);
    EXPECT_EQ(settings.color_top_background, 65408u);
}

TEST_F(SettingsFileTest, ConstructionLoadsAValidFileWithoutRewritingIt) {
    const std::string file = FileWith("<!-- kept until the next save --><volume_delta value=\"17\" />");
    PutFile(file);
    const Settings settings;
    EXPECT_EQ(settings.volume_delta, 17);
    EXPECT_EQ(settings.mouse_button_pressed, 2);
    EXPECT_EQ(settings.color_mute_line, 4u);
    EXPECT_FALSE(settings.first_run);
    EXPECT_EQ(ReadBytes(SettingsFile()), file);
}

TEST_F(SettingsFileTest, AnyMissingKeyResetsEveryFieldAndRewritesDefaults) {
    // Colours were read before first_run turned out missing; they are reset too.
    PutFile("<color_top_background value=\"1\" /><color_bottom_background value=\"2\" />"
            "<color_text value=\"3\" /><color_mute_line value=\"4\" /><mouse_button_pressed value=\"2\" />"
            "<volume_delta value=\"9\" />");
    const Settings settings;
    EXPECT_EQ(settings.color_top_background, Settings::kDefaultTopBackground);
    EXPECT_EQ(settings.volume_delta, 5);
    EXPECT_TRUE(settings.first_run);
    EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
}

TEST_F(SettingsFileTest, UnusableContentGivesDefaultsNeverAPartialRecord) {
    std::string nested;
    for (int i = 0; i < 100000; ++i) nested += "<a>";
    const std::string junk_cases[] = {
        "",
        "<color_top_background value=\"1\"",  // syntax error
        "<settings>" + FileWith("<volume_delta value=\"9\" />").substr(22) + "</settings>",  // keys one level down
        std::string("\x00\xff\xfe\x01\x80garbage\x00", 12),
        nested + "<volume_delta value=\"9\" />",
        std::string(8 << 20, '\xc3'),
    };
    for (const std::string& junk : junk_cases) {
        PutFile(junk);
        const Settings settings;
        EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile) << "content size " << junk.size();
        EXPECT_EQ(settings.volume_delta, 5);
        EXPECT_EQ(settings.color_mute_line, Settings::kDefaultMuteLine);
    }
}

TEST_F(SettingsFileTest, AnUnusableFileIsKeptAsBackupBeforeTheDefaultsReplaceIt) {
    const fs::path backup = SettingsFile().parent_path() / "settings.xml.bak";
    struct Case {
        const char* name;
        std::string content;
        bool kept;  // else the older backup stays
    };
    const Case cases[] = {
        {"one key missing", FileWith("<volume_dleta value=\"15\" />"), true},
        {"a syntax error", FileWith("<volume_delta value=\"15\" >"), true},
        {"empty: nothing to keep", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutFile(c.content);
        WriteBytes(backup, "an older backup");
        const Settings settings;
        EXPECT_EQ(ReadBytes(SettingsFile()), kDefaultFile);
        EXPECT_EQ(settings.volume_delta, 5);
        EXPECT_EQ(ReadBytes(backup), c.kept ? c.content : "an older backup");
    }
    // A usable file leaves the backup alone.
    PutFile(FileWith("<volume_delta value=\"15\" />"));
    const Settings settings;
    EXPECT_EQ(settings.volume_delta, 15);
    EXPECT_EQ(ReadBytes(backup), "an older backup");
}

TEST_F(SettingsFileTest, AReadOnlyFileStaysAsTheUserLeftIt) {
    const std::string file = FileWith("<volume_delta value=\"15\" />", "true");
    PutFile(file);
    const fs::perms writable = fs::status(SettingsFile()).permissions();
    fs::permissions(SettingsFile(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    Settings settings;
    EXPECT_TRUE(settings.first_run);
    settings.first_run = false;
    EXPECT_FALSE(settings.Save()) << "a read-only file cannot be saved";
    EXPECT_EQ(ReadBytes(SettingsFile()), file);
    EXPECT_EQ(fs::status(SettingsFile()).permissions() & fs::perms::owner_write, fs::perms::none);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(SettingsFile().parent_path())) ++entries;
    EXPECT_EQ(entries, 1) << "nothing is left beside it";
    fs::permissions(SettingsFile(), writable);
}

TEST_F(SettingsFileTest, FailedReadKeepsFieldsBeforeTheFirstMissingKey) {
    // What a reload sees: no defaults, earlier keys stored, later fields untouched.
    const auto [ok, settings] =
        Read("<color_top_background value=\"11\" /><color_bottom_background value=\"12\" />"
             "<color_text value=\"13\" /><color_mute_line value=\"14\" /><mouse_button_pressed value=\"2\" />");
    EXPECT_FALSE(ok);
    EXPECT_EQ(settings.color_top_background, 11u);
    EXPECT_EQ(settings.mouse_button_pressed, 2);
    EXPECT_EQ(settings.volume_delta, -77);
    EXPECT_TRUE(settings.first_run);
}

TEST_F(SettingsFileTest, ReaderLooksAtTheFirstTopLevelElementOfExactName) {
    struct Case {
        const char* element;
        bool ok;
        int volume_delta;
    } cases[] = {
        {"<volume_delta value=\"8\" /><volume_delta value=\"9\" />", true, 8},  // first wins
        {"<volume_delta />", true, 0},                                         // no attribute
        {"<volume_delta value=\"\" />", true, 0},
        {"<volume_delta other=\"3\" value=\"6\" value2=\"4\" />", true, 6},
        {"<volume_delta>12</volume_delta>", true, 0},                         // text is ignored
        {"<Volume_Delta value=\"8\" />", false, -77},                          // case-sensitive
        {"<x><volume_delta value=\"8\" /></x>", false, -77},                   // nested: not searched
    };
    for (const Case& c : cases) {
        const auto [ok, settings] = Read(FileWith(c.element));
        EXPECT_EQ(ok, c.ok) << c.element;
        EXPECT_EQ(settings.volume_delta, c.volume_delta) << c.element;
    }
}

TEST_F(SettingsFileTest, ReaderDetectsByteOrderMarksAndUtf16) {
    const std::string utf8 = FileWith("<volume_delta value=\"42\" />");
    std::string utf16 = "\xff\xfe";
    for (char c : utf8) utf16 += std::string{c, '\0'};
    for (const std::string& bytes : {"\xef\xbb\xbf" + utf8, utf16}) {
        const auto [ok, settings] = Read(bytes);
        EXPECT_TRUE(ok);
        EXPECT_EQ(settings.volume_delta, 42);
    }
}

TEST(SettingValueTest, IntegersFollowWcstolInBaseTen) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"12abc", 12}, {" 7", 7}, {"\t\n 7", 7}, {"-5", -5}, {"+5", 5}, {"abc", 0}, {"0x10", 0}, {"", 0},
        {"-", 0}, {"99999999999", 2147483647}, {"4294967295", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1}, {"00012", 12}, {"2147483647", 2147483647},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(ParseSettingInteger(text), expected) << '"' << text << '"';
}

TEST(SettingValueTest, FlagIsTrueForItsFirstCharacterOnly) {
    for (const char* yes : {"yes", "True", "1", "t", "Y", "yabba"}) EXPECT_TRUE(ParseSettingFlag(yes)) << yes;
    for (const char* no : {"no", "0", "on", "", " true", "false"}) EXPECT_FALSE(ParseSettingFlag(no)) << no;
}

TEST_F(SettingsFileTest, EveryWrittenValueReadsBackUnchanged) {
    Settings written{Settings::Blank{}};
    written.color_top_background = 0xFFFFFFFF;  // stored as -1
    written.color_bottom_background = 0x80000000;
    written.color_text = 0x123456;
    written.color_mute_line = 7;
    written.volume_delta = -2147483647 - 1;
    written.mouse_button_pressed = 1;
    written.first_run = false;
    ASSERT_TRUE(WriteXml(written, folder_.path() / "round.xml"));
    EXPECT_NE(ReadBytes(folder_.path() / "round.xml").find("<color_top_background value=\"-1\" />"),
              std::string::npos);

    Settings read{Settings::Blank{}};
    ASSERT_TRUE(ReadXml(read, folder_.path() / "round.xml"));
    EXPECT_EQ(read.color_top_background, written.color_top_background);
    EXPECT_EQ(read.color_bottom_background, written.color_bottom_background);
    EXPECT_EQ(read.color_text, written.color_text);
    EXPECT_EQ(read.color_mute_line, written.color_mute_line);
    EXPECT_EQ(read.volume_delta, written.volume_delta);
    EXPECT_EQ(read.mouse_button_pressed, written.mouse_button_pressed);
    EXPECT_FALSE(read.first_run);
}

TEST_F(SettingsFileTest, SaveRewritesTheWholeFileAndLeavesNoTemporaryFile) {
    PutFile(FileWith("<volume_delta value=\"3\" /><volume_delta value=\"4\" /><!-- note --><extra />"));
    Settings settings;
    settings.volume_delta = 30;
    ASSERT_TRUE(settings.Save());
    const std::string saved = ReadBytes(SettingsFile());
    EXPECT_EQ(saved.find("extra"), std::string::npos);
    EXPECT_EQ(saved.find("note"), std::string::npos);
    EXPECT_NE(saved.find("<volume_delta value=\"30\" />"), std::string::npos);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(SettingsFile().parent_path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFileTest, SaveThatCannotReplaceTheFileKeepsTheOldOne) {
    // The settings file's place is taken by a folder: the replacement fails,
    // Save reports it and nothing beside it is left behind.
    fs::create_directories(SettingsFile());
    Settings settings{Settings::Blank{}};
    EXPECT_FALSE(settings.Save());
    EXPECT_TRUE(fs::is_directory(SettingsFile()));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(SettingsFile().parent_path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFileTest, SaveSaysWhyItFailed) {
    PutFile(FileWith("<volume_delta value=\"15\" />"));
    fs::permissions(SettingsFile(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const Settings settings{Settings::Blank{}};
    WriteFailure failure = WriteFailure::None;
    EXPECT_FALSE(settings.Save(&failure));
    EXPECT_EQ(failure, WriteFailure::ReadOnly);
    fs::permissions(SettingsFile(), fs::perms::owner_write, fs::perm_options::add);
    fs::remove(SettingsFile());

    fs::create_directories(SettingsFile());  // no way to put the file there
    EXPECT_FALSE(settings.Save(&failure));
    EXPECT_EQ(failure, WriteFailure::Other);
    fs::remove(SettingsFile());

    EXPECT_TRUE(settings.Save(&failure));
    EXPECT_EQ(failure, WriteFailure::None);
}

TEST(SettingsReadTest, AnUnreadableFileIsTriedAgainForTwoSecondsAMissingOneNever) {
    using Status = settings_platform::FileRead::Status;
    constexpr auto R = Status::Read, M = Status::Missing, U = Status::Unreadable;
    struct Case {
        const char* name;
        std::vector<Status> outcomes;  // the last one repeats
        Status result;
        size_t attempts;
        unsigned waited_ms;
    };
    const Case cases[] = {
        {"read at once", {R}, R, 1, 0},
        {"missing: the defaults are due, no wait", {M}, M, 1, 0},
        {"held by a scanner for a moment", {U, U, U, R}, R, 4, 300},
        {"held for good", {U}, U, 21, 2000},
        {"removed while held", {U, M}, M, 2, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t attempts = 0;
        unsigned waited = 0;
        const settings_platform::FileRead read = ReadRetryingWhileUnreadable(
            [&] {
                const Status status = c.outcomes[std::min(attempts++, c.outcomes.size() - 1)];
                return settings_platform::FileRead{status, status == R ? "bytes" : ""};
            },
            [&](unsigned milliseconds) { waited += milliseconds; });
        EXPECT_EQ(read.status, c.result);
        EXPECT_EQ(read.bytes, c.result == R ? "bytes" : "");
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(waited, c.waited_ms);
    }
}

TEST_F(SettingsFileTest, AFileThatIsThereButCannotBeReadIsNeverReplacedByDefaults) {
    // A folder in the file's place cannot be read, on either system: like a
    // file that another program holds without sharing, it is not missing.
    fs::create_directories(SettingsFile());
    const Settings settings;  // tries for 2 s
    EXPECT_TRUE(settings.file_unreadable);
    EXPECT_FALSE(settings.first_run) << "no first-run actions";
    EXPECT_EQ(settings.volume_delta, Settings::kDefaultVolumeDelta);
    EXPECT_EQ(settings.mouse_button_pressed, Settings::kLeftTrigger);
    EXPECT_EQ(settings.color_top_background, Settings::kDefaultTopBackground);
    EXPECT_TRUE(fs::is_directory(SettingsFile()));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(SettingsFile().parent_path())) ++entries;
    EXPECT_EQ(entries, 1) << "no backup, no defaults written beside it";

    // Once it can be read, a reload reads it as usual.
    fs::remove(SettingsFile());
    PutFile(FileWith("<volume_delta value=\"7\" />"));
    Settings reloaded = settings;
    EXPECT_TRUE(reloaded.Load());
    EXPECT_FALSE(reloaded.file_unreadable);
    EXPECT_EQ(reloaded.volume_delta, 7);
    EXPECT_EQ(reloaded.mouse_button_pressed, Settings::kRightTrigger);
}

TEST(SettingsLocationTest, WithoutLocalAppDataTheFileLivesBelowTheCurrentDirectory) {
    TempFolder folder;
    const fs::path before = fs::current_path();
    {
        testing::ScopedCurrentDirectory in_folder(folder.path());
        ScopedEnvironment no_variable("LOCALAPPDATA", std::nullopt);
        const Settings settings;
        EXPECT_EQ(fs::current_path(), folder.path());
        EXPECT_EQ(ReadBytes(folder.path() / "korvanix" / "sonarel" / "settings.xml"), kDefaultFile);
    }
    EXPECT_EQ(fs::current_path(), before);
}

TEST(SettingsLocationTest, UnusableFoldersFallBackStepByStep) {
    TempFolder folder;
    testing::ScopedCurrentDirectory in_folder(folder.path());
    // Not a folder: the current directory takes its place.
    EXPECT_EQ(SettingsFilePath(folder.path() / "missing"), fs::path("korvanix") / "sonarel" / "settings.xml");
    // "korvanix" is a file: "sonarel" is made in the base itself.
    const fs::path base = folder.path() / "base";
    fs::create_directories(base);
    WriteBytes(base / "korvanix", "x");
    EXPECT_EQ(SettingsFilePath(base), base / "sonarel" / "settings.xml");
    // Existing folders are used as they are.
    fs::create_directories(folder.path() / "ok" / "korvanix" / "sonarel");
    EXPECT_EQ(SettingsFilePath(folder.path() / "ok"), folder.path() / "ok" / "korvanix" / "sonarel" / "settings.xml");
}

}  // namespace
}  // namespace sonarel
