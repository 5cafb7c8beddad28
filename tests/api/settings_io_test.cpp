#include "api/settings_io.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "framework/settings_file.h"
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

    test::TempSettingsFolder folder;
    SettingsFile file{kSettingsFileName};
};

template <typename Record>
void ExpectSame(const Record& a, const Record& b) {
    EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a));
}

TEST_F(SettingsIoTest, BadValuesGiveTheDefaultOrTheNearestInRangeThePortIsHexadecimal) {
    const StoredSettings s = Load(
        "[KivoAcquireInformation]\nQuality=-1\nIODelay=garbage\n"
        "[ProcessingSettings]\nRed=99999999999999999\nGreen=1e3\nGamma=-51\nColorCount=256\n"
        "Width=1500\nHeight=1\n");
    EXPECT_EQ(s.grabInfo.Quality, 0);
    EXPECT_EQ(s.grabInfo.IODelay, -1);
    EXPECT_EQ(s.processInfo.Red, 50);  // saturated, then brought into range
    EXPECT_EQ(s.processInfo.Green, 1);
    EXPECT_EQ(s.processInfo.Gamma, -50);
    EXPECT_EQ(s.processInfo.ColorCount, 16777216);  // never read from the file
    EXPECT_EQ(s.processInfo.Height, 1125);          // the width alone decides the size
    EXPECT_EQ(Load("[ProcessingSettings]\nWidth=320\nHeight=480").processInfo.Height, 240);
    // The port is hexadecimal text of five characters.
    for (const auto& [text, port] : {std::pair{"b", 11}, {"0000002", 0}, {"zz", 1}}) {
        const std::string file = "[KivoAcquireInformation]\nParallelPort="s + text + "\n";
        EXPECT_EQ(Load(file).grabInfo.ParallelPort, port) << text;
    }
}

TEST_F(SettingsIoTest, WithoutAFileEveryDefaultAppliesSavingWritesTheListedKeysInOrder) {
    StoredSettings s = LoadStoredSettings(file);
    ExpectSame(s.grabInfo, KivoGrabInfo{0, 1, 0, 1, -1, 1, 1, 0});
    ExpectSame(s.processInfo, KivoProcessInfo{0, 0, 0, 0, 0, 0, 640, 480, 16777216, 0, 0, 0, 1});
    EXPECT_EQ(s.showProgress, 1);
    EXPECT_EQ(s.windowOption, 0);
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

TEST_F(SettingsIoTest, TheVideoLockTimeIsARealTakenOnlyInsideItsRange) {
    // The last is read as 14 characters.
    for (const auto& [text, seconds] :
         {std::pair{"1.5", 1.5}, {"+0.75s", 0.75}, {"abc", 0.0}, {"1.00000000000000000009", 1.0}}) {
        Load("[KivoAcquireInformation]\nVideoLockTime="s + text + "\n");
        EXPECT_DOUBLE_EQ(ReadVideoLockTime(file), seconds) << text;
    }
    Load("");
    EXPECT_DOUBLE_EQ(ReadVideoLockTime(file), 0.0);
    EXPECT_DOUBLE_EQ(AcceptedVideoLockTime(1.5), 1.5);
    for (double rejected : {2.0, 0.3, 0.0})
        EXPECT_DOUBLE_EQ(AcceptedVideoLockTime(rejected), 0.5) << rejected;
}

}  // namespace
}  // namespace kivoly
