// Files written through AtomicFile are whole or not there: a full disk, a folder in the way and
// an interrupted program all leave the old file as it was and no temporary behind.
#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

// The names in `folder`, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Its permissions are kept too: the profile test checks them, through a link.
TEST(AtomicFile, ReplacesTheFileOnlyWhenComplete) {
    test::TempSettingsFolder folder;
    const std::string path = folder.File("picture.bmp");
    folder.WriteFile("picture.bmp", "old");
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

// Joins a file holding `content` to the group that is joining on this thread.
void WriteJoined(const std::string& path, const std::string& content) {
    AtomicFile file;
    ASSERT_TRUE(file.Open(path));
    ASSERT_TRUE(file.Write(content.data(), content.size()));
    ASSERT_TRUE(file.Commit()) << file.Error();
}

// One file of the group whose place is taken by a folder before the commit: no file of the
// group replaces its old one, none of their temporaries stays, and each says why. A group
// dropped uncommitted leaves the old files too.
TEST(AtomicFileGroup, AFailureMidwayLeavesEveryOldFileAndNoTemporary) {
    test::TempSettingsFolder folder;
    folder.WriteFile("a.bmp", "old a");
    folder.WriteFile("c.bmp", "old c");
    {
        AtomicFileGroup group;
        {
            AtomicFileGroup::Joining joining(group);
            for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
                WriteJoined(folder.File(name), "new");
        }
        fs::create_directory(folder.File("b.bmp"));
        EXPECT_FALSE(group.Commit());
        const std::string b = folder.File("b.bmp");
        EXPECT_EQ(group.Errors(), (std::vector<std::string>{
                                      "cannot write " + folder.File("a.bmp") +
                                          ": left as it was, since " + b + " could not be written",
                                      "cannot write " + b + ": Is a directory",
                                      "cannot write " + folder.File("c.bmp") +
                                          ": left as it was, since " + b + " could not be written",
                                  }));
        AtomicFileGroup::Joining joining(group);
        WriteJoined(folder.File("a.bmp"), "dropped");
    }
    EXPECT_EQ(folder.ReadFile("a.bmp"), "old a");
    EXPECT_EQ(folder.ReadFile("c.bmp"), "old c");
    EXPECT_EQ(Names(folder.Path()), (std::vector<std::string>{"a.bmp", "b.bmp", "c.bmp"}));
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

class AtomicFileSignal : public ::testing::TestWithParam<int> {};

TEST_P(AtomicFileSignal, AnInterruptedProgramLeavesNoTemporaryAndTheOldFile) {
    test::TempSettingsFolder folder;
    const std::string path = folder.File("capture.nsr");
    folder.WriteFile("capture.nsr", "old");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        RemoveTemporariesOnSignal();
        // One file waits in a group for its commit, another is being written.
        AtomicFileGroup group;
        AtomicFile joined;
        AtomicFileGroup::Joining joining(group);
        if (!joined.Open(path) || !joined.Write("whole", 5) || !joined.Commit()) ::_exit(3);
        AtomicFile file;
        if (!file.Open(path) || !file.Write("partial", 7)) ::_exit(3);
        std::fflush(file.Stream());
        ::raise(GetParam());  // Ctrl-C, or a crash, in the middle of the write
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), GetParam());
    EXPECT_EQ(folder.ReadFile("capture.nsr"), "old");
    EXPECT_EQ(Names(folder.Path()), std::vector<std::string>{"capture.nsr"});
}

INSTANTIATE_TEST_SUITE_P(Signals, AtomicFileSignal, ::testing::Values(SIGINT, SIGABRT));

}  // namespace
}  // namespace kivoly::platform
