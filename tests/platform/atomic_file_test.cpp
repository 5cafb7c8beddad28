// Files written through AtomicFile are whole or not there: a full disk, a folder in the way and
// an interrupted program all leave the old file as it was and no temporary behind.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/small_file_system.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

namespace fs = std::filesystem;

std::string Content(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(AtomicFile, ReplacesTheFileOnlyWhenCompleteAndKeepsItsPermissions) {
    test::TempSettingsFolder folder;
    const std::string path = folder.File("picture.bmp");
    folder.WriteFile("picture.bmp", "old");
    ::chmod(path.c_str(), 0640);
    {
        AtomicFile file;
        ASSERT_TRUE(file.Open(path));
        ASSERT_TRUE(file.Write("new", 3));
        // A head and body in one write come after what was buffered before them.
        ASSERT_TRUE(file.Write(" head", 5, " body", 5));
        EXPECT_EQ(Content(path), "old");  // nothing shows before the commit
        ASSERT_TRUE(file.Commit()) << file.Error();
    }
    EXPECT_EQ(Content(path), "new head body");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    {
        AtomicFile abandoned;  // destroyed without a commit
        ASSERT_TRUE(abandoned.Open(path));
        abandoned.Write("half", 4);
    }
    EXPECT_EQ(Content(path), "new head body");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"picture.bmp"});

    AtomicFile onFolder;
    EXPECT_FALSE(onFolder.Open(folder.Path()));
    EXPECT_EQ(onFolder.Error(), "cannot write " + folder.Path() + ": Is a directory");
}

TEST(AtomicFile, AFullDiskKeepsTheOldFileAndSaysWhy) {
    test::SmallFileSystem disk(64 * 1024);
    if (!disk.Mounted()) GTEST_SKIP() << "a small file system cannot be mounted here";
    const std::string path = disk.Path() + "/full.bmp";
    std::ofstream(path) << "the old picture";
    const std::vector<char> big(200 * 1024, 'x');
    AtomicFile file;
    ASSERT_TRUE(file.Open(path));
    const bool written = file.Write(big.data(), big.size()) && file.Commit();
    EXPECT_FALSE(written);
    EXPECT_EQ(file.Error(), "cannot write " + path + ": No space left on device");
    EXPECT_EQ(Content(path), "the old picture");
    EXPECT_EQ(Names(disk.Path()), std::vector<std::string>{"full.bmp"});
}

TEST(AtomicFile, AnInterruptedProgramLeavesNoTemporaryAndTheOldFile) {
    test::TempSettingsFolder folder;
    const std::string path = folder.File("capture.nsr");
    folder.WriteFile("capture.nsr", "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RemoveTemporariesOnSignal();
        AtomicFile file;
        if (!file.Open(path) || !file.Write("partial", 7)) ::_exit(3);
        std::fflush(file.Stream());
        ::raise(SIGINT);  // Ctrl-C in the middle of the write
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), SIGINT);
    EXPECT_EQ(folder.ReadFile("capture.nsr"), "old");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"capture.nsr"});
}

}  // namespace
}  // namespace kivoly::platform
