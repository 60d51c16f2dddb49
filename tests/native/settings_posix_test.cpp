// A save that fails in the middle of writing, made real with a file-size limit
// in a child process.
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "support/temp_folder.h"

namespace sonarel {
namespace {

namespace fs = std::filesystem;

TEST(SettingsSaveFailureTest, AWriteThatRunsOutOfSpaceLeavesThePreviousFileByteForByte) {
    testing::TempFolder folder;
    testing::ScopedEnvironment local_app_data("LOCALAPPDATA", folder.path());
    Settings original;  // writes the defaults
    const fs::path file = folder.path() / "korvanix" / "sonarel" / "settings.xml";
    const std::string before = testing::ReadBytes(file);
    ASSERT_FALSE(before.empty());

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);       // writes past the limit fail with EFBIG instead
        const rlimit limit{64, 64};     // the file needs about 250 bytes
        setrlimit(RLIMIT_FSIZE, &limit);
        Settings changed{Settings::Blank{}};
        changed.volume_delta = 99;
        _exit(changed.Save() ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << "the failed write must be reported";
    EXPECT_EQ(testing::ReadBytes(file), before);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(file.parent_path())) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

}  // namespace
}  // namespace sonarel
