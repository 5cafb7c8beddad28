#include "platform/file_search.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/settings_folder.h"
#include "support/scoped_variable.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path) {
    std::ofstream(path) << "x";
}

TEST(FileSearch, FoldersAreSearchedInTheSystemsOrder) {
    test::TempSettingsFolder settings;
    const std::string root = settings.File("root");
    for (const char* sub : {"cwd", "system", "path1", "path2"})
        fs::create_directories(root + "/" + sub);
    const fs::path previousCwd = fs::current_path();
    fs::current_path(root + "/cwd");
    test::ScopedVariable system("KIVOLY_SYSTEM_DIR", (root + "/system").c_str());
    test::ScopedVariable path("PATH", (root + "/path1:" + root + "/path2").c_str());

    // Case apart, every spelling of a name reaches the same one file.
    Touch(root + "/path2/KIVOLY.D8A");
    Touch(root + "/path2/kivoly.d8a");
    EXPECT_EQ(FindFile("kivoly.d8a"), root + "/path2/KIVOLY.D8A");
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

    // Folders are not files; a name with a folder is taken as it stands.
    fs::create_directories(root + "/cwd/bars.nsr");
    Touch(root + "/path1/bars.nsr");
    EXPECT_EQ(FindFile("bars.nsr"), root + "/path1/bars.nsr");
    EXPECT_EQ(FindFile((root + "/path1/bars.nsr").c_str()), root + "/path1/bars.nsr");
    EXPECT_EQ(FindFile((root + "/path1/BARS.nsr").c_str()), "");
    EXPECT_EQ(FindFile("../path1/bars.nsr"), "../path1/bars.nsr");
    for (const char* absent : {"absent.bin", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(FindFile(absent), "");
    fs::current_path(previousCwd);
}

TEST(SettingsFolder, FollowsTheEnvironmentUnlessAHostSetsIt) {
    test::ScopedVariable home("KIVOLY_HOME", "/k");
    test::ScopedVariable xdg("XDG_CONFIG_HOME", "/x");
    EXPECT_EQ(SettingsFolder(), "/k");
    setenv("KIVOLY_HOME", "", 1);
    EXPECT_EQ(SettingsFolder(), "/x/kivoly");
    unsetenv("XDG_CONFIG_HOME");
    test::ScopedVariable user("HOME", "/h");
    EXPECT_EQ(SettingsFolder(), "/h/.config/kivoly");
    SetSettingsFolderOverride("/o");
    EXPECT_EQ(SettingsFolder(), "/o");
    SetSettingsFolderOverride(nullptr);
}

}  // namespace
}  // namespace kivoly::platform
