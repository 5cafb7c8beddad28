#include "framework/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

TEST(SettingsFile, KeepsThirteenCharactersOfItsName) {
    EXPECT_STREQ(SettingsFile("Kivoly.ini").FileName(), "Kivoly.ini");
    EXPECT_STREQ(SettingsFile("ABCDEFGHIJKLMNOP.ini").FileName(), "ABCDEFGHIJKLM");
    EXPECT_STREQ(SettingsFile(nullptr).FileName(), "");
}

TEST(SettingsFile, ReadsAtMostFourteenCharactersAndMissingKeysAreEmpty) {
    test::TempSettingsFolder folder;
    folder.WriteFile("Kivoly.ini", "[Sound]\nKivoSound=0123456789abcdefgh\n");
    const SettingsFile settings("Kivoly.ini");
    char destination[20];
    std::memset(destination, 'x', sizeof destination);
    settings.ReadString("Sound", "KivoSound", destination);
    EXPECT_STREQ(destination, "0123456789abcd");
    EXPECT_EQ(destination[15], 'x');
    settings.ReadString("Sound", "NoVideoSound", destination);
    EXPECT_STREQ(destination, "");
}

TEST(SettingsFile, WritesIntegersInDecimalAndReadsThemBack) {
    test::TempSettingsFolder folder;
    const SettingsFile settings("Kivoly.ini");
    settings.WriteInt("ProcessingSettings", "Brightness", -12);
    settings.WriteString("KivoSettings", "ShowProgress", "False");
    EXPECT_EQ(settings.ReadInt("ProcessingSettings", "Brightness", 0), -12);
    EXPECT_EQ(settings.ReadInt("ProcessingSettings", "Contrast", 7), 7);
    EXPECT_EQ(folder.ReadFile("Kivoly.ini"),
              "[ProcessingSettings]\nBrightness=-12\n\n[KivoSettings]\nShowProgress=False\n");
}

}  // namespace
}  // namespace kivoly
