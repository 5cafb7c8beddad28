#include "platform/file_search.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/settings_folder.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

namespace fs = std::filesystem;

// The current folder, the system folder and PATH pointed into one scratch tree.
class FileSearchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = settings.File("root");
        for (const char* sub : {"cwd", "system", "path1", "path2"})
            fs::create_directories(root + "/" + sub);
        previousCwd = fs::current_path();
        fs::current_path(root + "/cwd");
        const char* path = std::getenv("PATH");
        previousPath = path ? path : "";
        setenv("KIVOLY_SYSTEM_DIR", (root + "/system").c_str(), 1);
        setenv("PATH", (root + "/path1:" + root + "/path2").c_str(), 1);
    }
    void TearDown() override {
        fs::current_path(previousCwd);
        setenv("PATH", previousPath.c_str(), 1);
        unsetenv("KIVOLY_SYSTEM_DIR");
    }
    static void Touch(const std::string& path) { std::ofstream(path) << "x"; }

    test::TempSettingsFolder settings;
    std::string root;
    fs::path previousCwd;
    std::string previousPath;
};

TEST_F(FileSearchTest, FoldersAreSearchedInTheSystemsOrder) {
    Touch(root + "/path2/Kivoly.d8a");
    EXPECT_EQ(FindFile("Kivoly.d8a"), root + "/path2/Kivoly.d8a");
    Touch(root + "/path1/Kivoly.d8a");
    EXPECT_EQ(FindFile("Kivoly.d8a"), root + "/path1/Kivoly.d8a");
    Touch(root + "/system/Kivoly.d8a");
    EXPECT_EQ(FindFile("Kivoly.d8a"), root + "/system/Kivoly.d8a");
    Touch(settings.File("Kivoly.d8a"));
    EXPECT_EQ(FindFile("Kivoly.d8a"), settings.File("Kivoly.d8a"));
    Touch(root + "/cwd/Kivoly.d8a");
    EXPECT_EQ(FindFile("Kivoly.d8a"), "./Kivoly.d8a");

    // Between the system folder and PATH: the program's own folder.
    EXPECT_EQ(SearchFolders()[3], fs::read_symlink("/proc/self/exe").parent_path().string());
}

TEST_F(FileSearchTest, NamesMatchWithoutRegardToCaseAndFoldersAreNotFiles) {
    Touch(root + "/system/KIVOLY.D8A");
    Touch(root + "/system/kivoly.d8a");
    // Every spelling reaches the same one of the two.
    EXPECT_EQ(FindFile("Kivoly.d8a"), root + "/system/KIVOLY.D8A");
    EXPECT_EQ(FindFile("kivoly.d8a"), root + "/system/KIVOLY.D8A");
    fs::create_directories(root + "/cwd/bars.nsr");
    Touch(root + "/path1/bars.nsr");
    EXPECT_EQ(FindFile("bars.nsr"), root + "/path1/bars.nsr");
    EXPECT_EQ(FindFile("absent.bin"), "");
    EXPECT_EQ(FindFile(""), "");
    EXPECT_EQ(FindFile(nullptr), "");
}

TEST_F(FileSearchTest, ANameWithAFolderIsTakenAsItStands) {
    Touch(root + "/path1/skin.d8a");
    EXPECT_EQ(FindFile((root + "/path1/skin.d8a").c_str()), root + "/path1/skin.d8a");
    EXPECT_EQ(FindFile((root + "/path1/SKIN.d8a").c_str()), "");
    EXPECT_EQ(FindFile("../path1/skin.d8a"), "../path1/skin.d8a");
}

TEST(SettingsFolder, FollowsTheEnvironmentUnlessAHostSetsIt) {
    const char* oldHome = std::getenv("KIVOLY_HOME");
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string savedHome = oldHome ? oldHome : "";
    const std::string savedXdg = oldXdg ? oldXdg : "";
    setenv("KIVOLY_HOME", "/k", 1);
    setenv("XDG_CONFIG_HOME", "/x", 1);
    EXPECT_EQ(SettingsFolder(), "/k");
    setenv("KIVOLY_HOME", "", 1);
    EXPECT_EQ(SettingsFolder(), "/x/kivoly");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/h", 1);
    EXPECT_EQ(SettingsFolder(), std::string(std::getenv("HOME")) + "/.config/kivoly");
    SetSettingsFolderOverride("/o");
    EXPECT_EQ(SettingsFolder(), "/o");
    SetSettingsFolderOverride(nullptr);
    oldHome ? setenv("KIVOLY_HOME", savedHome.c_str(), 1) : unsetenv("KIVOLY_HOME");
    oldXdg ? setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace kivoly::platform
