#include "api/settings_io.h"

#include <gtest/gtest.h>

#include <cstring>

#include "framework/settings_file.h"
#include "platform/profile.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

using namespace std::string_literals;

class SettingsIoTest : public ::testing::Test {
  protected:
    StoredSettings Load(const std::string& content) {
        folder.WriteFile("Kivoly.ini", content);
        return LoadStoredSettings(file);
    }
    std::string Value(const char* section, const char* key) {
        char text[64];
        platform::ReadProfileString(section, key, "<missing>", text, sizeof text, "Kivoly.ini");
        return text;
    }

    test::TempSettingsFolder folder;
    SettingsFile file{kSettingsFileName};
};

template <typename Record>
void ExpectSame(const Record& a, const Record& b) {
    EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a));
}

TEST_F(SettingsIoTest, WithoutAFileEveryDefaultApplies) {
    const StoredSettings s = LoadStoredSettings(file);
    ExpectSame(s.grabInfo, KivoGrabInfo{0, 1, 0, 1, -1, 1, 1, 0});
    ExpectSame(s.processInfo, KivoProcessInfo{0, 0, 0, 0, 0, 0, 640, 480, 16777216, 0, 0, 0, 1});
    EXPECT_EQ(s.showProgress, 1);
    EXPECT_EQ(s.windowOption, 0);
    // An empty file, or one without the sections, behaves the same.
    ExpectSame(Load("").grabInfo, s.grabInfo);
    ExpectSame(Load("[Other]\nQuality=3\n").processInfo, s.processInfo);
}

TEST_F(SettingsIoTest, BooleansTurnOnlyOnTheOppositeFirstLetter) {
    StoredSettings s = Load(
        "[KivoAcquireInformation]\nUseColor=no\nCameraInput=yes\nPowerSaver=False\n"
        "TerminateVideo=false\nNegative=T\n[KivoSettings]\nShowProgress=\nKivoToNewWindow=True\n"
        "[ProcessingSettings]\nShowWhileProcessing=Fnord\n");
    EXPECT_EQ(s.grabInfo.UseColor, 1);     // "no" keeps colour
    EXPECT_EQ(s.grabInfo.CameraInput, 0);  // "yes" keeps tape input
    EXPECT_EQ(s.grabInfo.PowerSaver, 0);
    EXPECT_EQ(s.grabInfo.TerminateVideo, 1);  // only a capital F counts
    EXPECT_EQ(s.grabInfo.Negative, 1);
    EXPECT_EQ(s.showProgress, 1);  // empty: the default
    EXPECT_EQ(s.windowOption, 1);
    EXPECT_EQ(s.processInfo.ShowWhileProcessing, 0);
}

TEST_F(SettingsIoTest, ThePortIsHexadecimalText) {
    // Only five characters are read: "0000002" is 0.
    for (const auto& [text, port] :
         {std::pair{"10", 16}, {"3", 3}, {"b", 11}, {"0000002", 0}, {"zz", 1}, {"", 1}}) {
        const std::string file = "[KivoAcquireInformation]\nParallelPort="s + text + "\n";
        EXPECT_EQ(Load(file).grabInfo.ParallelPort, port) << text;
    }
}

TEST_F(SettingsIoTest, TheWidthAloneDecidesTheSize) {
    auto size = [&](const char* width, const char* height) {
        const auto p =
            Load(std::string("[ProcessingSettings]\nWidth=") + width + "\nHeight=" + height + "\n")
                .processInfo;
        return std::pair(p.Width, p.Height);
    };
    EXPECT_EQ(size("800", "600"), std::pair(640, 480));
    EXPECT_EQ(size("1500", "1"), std::pair(1500, 1125));
    EXPECT_EQ(size("320", "480"), std::pair(320, 240));
    EXPECT_EQ(size("640", "1125"), std::pair(640, 480));
    EXPECT_EQ(size("-320", "240"), std::pair(640, 480));
}

TEST_F(SettingsIoTest, IntegersAndBadValues) {
    const StoredSettings s = Load(
        "[KivoAcquireInformation]\nQuality=2\nIODelay=garbage\n"
        "[ProcessingSettings]\nBrightness=-12\nHue=  7  \nRed=99999999999999999\nGreen=1e3\n"
        "ColorCount=256\n");
    EXPECT_EQ(s.grabInfo.Quality, 2);
    EXPECT_EQ(s.grabInfo.IODelay, -1);
    EXPECT_EQ(s.processInfo.Brightness, -12);
    EXPECT_EQ(s.processInfo.Hue, 7);
    EXPECT_EQ(s.processInfo.Red, 50);  // saturated, then brought into range
    EXPECT_EQ(s.processInfo.Green, 1);
    EXPECT_EQ(s.processInfo.ColorCount, 16777216);  // never read from the file
}

TEST_F(SettingsIoTest, ValuesOutsideTheirRangesLoadAsTheNearestInside) {
    const StoredSettings high = Load(
        "[KivoAcquireInformation]\nQuality=7\n"
        "[ProcessingSettings]\nHue=99\nBrightness=200\nContrast=50\nGamma=-51\nBlue=-200\n");
    EXPECT_EQ(high.grabInfo.Quality, 3);
    EXPECT_EQ(high.processInfo.Hue, 50);
    EXPECT_EQ(high.processInfo.Brightness, 50);
    EXPECT_EQ(high.processInfo.Contrast, 50);
    EXPECT_EQ(high.processInfo.Gamma, -50);
    EXPECT_EQ(high.processInfo.Blue, -50);
    EXPECT_EQ(Load("[KivoAcquireInformation]\nQuality=-1\n").grabInfo.Quality, 0);
}

TEST_F(SettingsIoTest, HostileFilesLoadWithoutHarm) {
    std::string hostile = "\x01\x02\xff\n[KivoAcquireInformation\nQuality=1";
    hostile += std::string(1 << 16, '9');
    hostile += "\n\0\0binary\n[ProcessingSettings]\nWidth=1500"s;  // no final newline
    const StoredSettings s = Load(hostile);
    EXPECT_EQ(s.grabInfo.Quality, 3);
    EXPECT_EQ(s.processInfo.Width, 1500);
    EXPECT_EQ(s.processInfo.Height, 1125);
}

TEST_F(SettingsIoTest, SavingWritesExactlyTheListedKeysInOrder) {
    StoredSettings s = DefaultSettings();
    s.grabInfo = {3, 0, 1, 2, 5, 0, 1, 1};
    s.processInfo = {1, 2, -12, 4, 5, 6, 1500, 1125, 16777216, -7, 8, 9, 0};
    s.showProgress = 0;
    s.windowOption = 1;
    SaveStoredSettings(file, s);
    EXPECT_EQ(folder.ReadFile("Kivoly.ini"),
              "[KivoAcquireInformation]\nQuality=3\nParallelPort=2\nIODelay=5\nUseColor=False\n"
              "CameraInput=True\nPowerSaver=False\nTerminateVideo=True\nNegative=True\n\n"
              "[KivoSettings]\nShowProgress=False\nKivoToNewWindow=True\n\n"
              "[ProcessingSettings]\nHue=1\nColor=2\nBrightness=-12\nContrast=4\nSharpness=5\n"
              "Gamma=6\nRed=-7\nGreen=8\nBlue=9\nWidth=1500\nHeight=1125\n");
    const StoredSettings back = LoadStoredSettings(file);
    ExpectSame(back.grabInfo, s.grabInfo);
    s.processInfo.ShowWhileProcessing = 1;  // not saved: the default comes back
    ExpectSame(back.processInfo, s.processInfo);
}

TEST_F(SettingsIoTest, SavingKeepsWhatItDoesNotWrite) {
    folder.WriteFile("Kivoly.ini",
                     "; hand-written\n[ProcessingSettings]\nShowWhileProcessing=False\nWidth=320\n"
                     "[Sound]\nKivoSound=chime.wav\n[KivoAcquireInformation]\nVideoLockTime=1.5\n");
    StoredSettings s = LoadStoredSettings(file);
    EXPECT_EQ(s.processInfo.ShowWhileProcessing, 0);
    SaveStoredSettings(file, s);
    EXPECT_EQ(Value("ProcessingSettings", "ShowWhileProcessing"), "False");
    EXPECT_EQ(Value("Sound", "KivoSound"), "chime.wav");
    EXPECT_EQ(Value("KivoAcquireInformation", "VideoLockTime"), "1.5");
    EXPECT_EQ(Value("ProcessingSettings", "Width"), "320");
    EXPECT_EQ(Value("ProcessingSettings", "ColorCount"), "<missing>");
    EXPECT_EQ(folder.ReadFile("Kivoly.ini").substr(0, 16), "; hand-written\n[");
    EXPECT_EQ(LoadStoredSettings(file).processInfo.ShowWhileProcessing, 0);
}

TEST_F(SettingsIoTest, TheVideoLockTimeIsARealTakenOnlyInsideItsRange) {
    auto lockTime = [&](const char* value) {
        folder.WriteFile("Kivoly.ini",
                         std::string("[KivoAcquireInformation]\nVideoLockTime=") + value + "\n");
        return ReadVideoLockTime(file);
    };
    // The last is read as 14 characters.
    for (const auto& [text, seconds] : {std::pair{"1.5", 1.5},
                                        {"+0.75s", 0.75},
                                        {"2", 2.0},
                                        {"abc", 0.0},
                                        {"", 0.0},
                                        {"1.00000000000000000009", 1.0}})
        EXPECT_DOUBLE_EQ(lockTime(text), seconds) << text;
    folder.WriteFile("Kivoly.ini", "");
    EXPECT_DOUBLE_EQ(ReadVideoLockTime(file), 0.0);

    EXPECT_DOUBLE_EQ(AcceptedVideoLockTime(1.5), 1.5);
    for (double rejected : {2.0, 0.3, 0.2, 0.0, -1.0})
        EXPECT_DOUBLE_EQ(AcceptedVideoLockTime(rejected), 0.5) << rejected;
}

}  // namespace
}  // namespace kivoly
