#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/settings_folder.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

class ProfileTest : public ::testing::Test {
  protected:
    test::TempSettingsFolder folder;
};

TEST_F(ProfileTest, ReadStringGivesTheDefaultWhenMissingAndKeepsToTheCallersBuffer) {
    char buffer[8] = "untouc";
    EXPECT_EQ(ReadProfileString("S", "K", "dflt", buffer, sizeof buffer, "Kivoly.ini"), 4);
    EXPECT_STREQ(buffer, "dflt");
    folder.WriteFile("Kivoly.ini", "[S]\nK=abcdefgh\n");
    EXPECT_EQ(ReadProfileString("T", "K", nullptr, buffer, sizeof buffer, "Kivoly.ini"), 0);
    EXPECT_STREQ(buffer, "");
    std::fill(std::begin(buffer), std::end(buffer), 'x');
    EXPECT_EQ(ReadProfileString("S", "K", "", buffer, 2, "Kivoly.ini"), 1);
    EXPECT_STREQ(buffer, "a");
    EXPECT_EQ(buffer[2], 'x');
    EXPECT_EQ(ReadProfileString("S", "K", "", buffer, 1, "Kivoly.ini"), 0);
    EXPECT_EQ(buffer[0], '\0');
    buffer[0] = 'x';
    EXPECT_EQ(ReadProfileString("S", "K", "", buffer, 0, "Kivoly.ini"), 0);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(ReadProfileString("S", "K", "", nullptr, 8, "Kivoly.ini"), 0);
}

// The settings' own test reads signs, blanks, garbage and huge numbers; these are the rest.
TEST_F(ProfileTest, ReadIntTakesAPlusSignAndSaturatesBelowToo) {
    folder.WriteFile("Kivoly.ini", "[S]\nplus=+5\ntiny=-99999999999999999999999\nhex=0x10\n");
    EXPECT_EQ(ReadProfileInt("S", "plus", 0, "Kivoly.ini"), 5);
    EXPECT_EQ(ReadProfileInt("S", "tiny", 0, "Kivoly.ini"), INT_MIN);
    EXPECT_EQ(ReadProfileInt("S", "hex", 9, "Kivoly.ini"), 0);
}

TEST_F(ProfileTest, BothSpellingsOfTheNameReachOneFile) {
    folder.WriteFile("kivoly.ini", "[Sound]\nKivoSound=a.wav\n");
    char buffer[16];
    ReadProfileString("sound", "kivosound", "", buffer, sizeof buffer, "Kivoly.ini");
    EXPECT_STREQ(buffer, "a.wav");
    ASSERT_TRUE(WriteProfileString("Sound", "KivoSound", "b.wav", "KIVOLY.INI"));
    EXPECT_EQ(folder.ReadFile("kivoly.ini"), "[Sound]\nKivoSound=b.wav\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("KIVOLY.INI")));
    EXPECT_EQ(ProfilePath("Kivoly.ini"), folder.File("kivoly.ini"));
}

TEST_F(ProfileTest, WritingCreatesTheFolderAndKeepsAFilesModeAndLink) {
    SetSettingsFolderOverride(folder.File("deeper/still").c_str());
    ASSERT_TRUE(WriteProfileString("KivoSettings", "ShowProgress", "False", "Kivoly.ini"));
    EXPECT_EQ(folder.ReadFile("deeper/still/Kivoly.ini"), "[KivoSettings]\nShowProgress=False\n");
    SetSettingsFolderOverride(folder.Path().c_str());

    folder.WriteFile("real.ini", "[A]\nx=1\n");
    ASSERT_EQ(::chmod(folder.File("real.ini").c_str(), 0640), 0);
    std::filesystem::create_symlink("real.ini", folder.File("Kivoly.ini"));
    ASSERT_TRUE(WriteProfileString("A", "x", "2", "Kivoly.ini"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("Kivoly.ini")));
    EXPECT_EQ(folder.ReadFile("real.ini"), "[A]\nx=2\n");
    struct stat info {};
    ASSERT_EQ(::stat(folder.File("real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(ProfileTest, AFailedWriteIsReportedAndChangesNothing) {
    EXPECT_FALSE(WriteProfileString("A", "x", "1", nullptr));
    EXPECT_FALSE(WriteProfileString("A", nullptr, "1", "Kivoly.ini"));
    EXPECT_FALSE(WriteProfileString("A", "x", "1\n[B]", "Kivoly.ini"));
    EXPECT_FALSE(std::filesystem::exists(folder.File("Kivoly.ini")));
    // A folder that cannot be created (a file is in the way).
    folder.WriteFile("blocker", "");
    EXPECT_FALSE(WriteProfileString("A", "x", "1", folder.File("blocker/Kivoly.ini").c_str()));
}

}  // namespace
}  // namespace kivoly::platform
