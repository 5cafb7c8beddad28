#include "framework/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

TEST(SettingsFile, KeepsThirteenCharactersOfItsNameAndFourteenOfAValue) {
    EXPECT_STREQ(SettingsFile("Kivoly.ini").FileName(), "Kivoly.ini");
    EXPECT_STREQ(SettingsFile("ABCDEFGHIJKLMNOP.ini").FileName(), "ABCDEFGHIJKLM");
    EXPECT_STREQ(SettingsFile(nullptr).FileName(), "");

    // Values: at most fourteen characters; a missing key is empty.
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

}  // namespace
}  // namespace kivoly
