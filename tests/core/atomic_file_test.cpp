#include "settings/atomic_file.h"

#include <cstring>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;
using settings_platform::ReplaceOutcome;

TEST(AtomicFileTest, ARefusedReplacementIsRetriedForAboutASecond) {
    constexpr auto D = ReplaceOutcome::Done;
    constexpr auto R = ReplaceOutcome::Refused;
    constexpr auto F = ReplaceOutcome::Failed;
    struct Case {
        const char* name;
        std::vector<ReplaceOutcome> outcomes;  // the last one repeats
        bool replaced;
        size_t attempts;
        unsigned waited_ms;
    };
    const Case cases[] = {
        {"done at once", {D}, true, 1, 0},
        {"refused while a reader holds the file", {R, R, R, D}, true, 4, 150},
        {"refused for good", {R}, false, 21, 1000},
        {"failed: not worth a retry", {F}, false, 1, 0},
        {"refused, then failed", {R, F}, false, 2, 50},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t attempts = 0;
        unsigned waited = 0;
        const bool replaced = ReplaceRetryingWhileRefused(
            [&] { return c.outcomes[std::min(attempts++, c.outcomes.size() - 1)]; },
            [&](unsigned milliseconds) { waited += milliseconds; });
        EXPECT_EQ(replaced, c.replaced);
        EXPECT_EQ(attempts, c.attempts);
        EXPECT_EQ(waited, c.waited_ms);
    }
}

TEST(AtomicFileTest, TemporaryNamesAreShortAndOnlyOursCountAsLeftovers) {
    EXPECT_EQ(TemporaryFileName(0xbeef), "~setbeef.tmp");
    EXPECT_EQ(TemporaryFileName(7), "~set0007.tmp");
    EXPECT_LE(TemporaryFileName(0xffff).size(), std::strlen("settings.xml"));

    using std::chrono::seconds;
    struct Case {
        const char* name;
        seconds age;
        bool leftover;
    };
    for (const Case c : {Case{"~setbeef.tmp", seconds(61), true}, Case{"~setbeef.tmp", seconds(5), false},
                         Case{"~set0000.tmp", seconds(3600), true}, Case{"settings.xml.bak", seconds(3600), false},
                         Case{"settings.xml", seconds(3600), false}, Case{"~setbeeg.tmp", seconds(3600), false},
                         Case{"~setbeef.tmp.bak", seconds(3600), false}, Case{"~setBEEF.tmp", seconds(3600), false},
                         Case{"~set.tmp", seconds(3600), false}}) {
        EXPECT_EQ(IsLeftoverTemporary(c.name, c.age), c.leftover) << c.name << " at " << c.age.count() << " s";
    }
}

TEST(AtomicFileTest, AWriteRemovesOnlyTheStaleTemporaryFilesBesideIt) {
    testing::TempFolder folder;
    const fs::path& dir = folder.path();
    for (const char* name : {"~set0001.tmp", "~set0002.tmp", "settings.xml.bak", "~set0003.txt"}) {
        testing::WriteBytes(dir / name, "left");
    }
    const auto long_ago = fs::file_time_type::clock::now() - std::chrono::minutes(5);
    for (const char* name : {"~set0001.tmp", "settings.xml.bak", "~set0003.txt"}) {
        fs::last_write_time(dir / name, long_ago);
    }

    ASSERT_TRUE(WriteFileAtomically(dir / "settings.xml", "new"));
    EXPECT_EQ(testing::ReadBytes(dir / "settings.xml"), "new");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    // The fresh one may belong to a save in progress elsewhere.
    EXPECT_EQ(names, (std::set<std::string>{"settings.xml", "~set0002.tmp", "settings.xml.bak", "~set0003.txt"}));
}

}  // namespace
}  // namespace sonarel
