// The kivoly program's settings command, run as a user runs it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/program_test.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using SettingsCommand = test::ProgramTest;

// The line of `name`, whole.
std::string Line(const std::string& output, const std::string& name) {
    const std::size_t at = output.find("\n  " + name + " ");
    if (at == std::string::npos) return "";
    return output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

// The value column of the line of `name`.
std::string Field(const std::string& output, const std::string& name) {
    std::istringstream line(Line(output, name));
    std::string key, value;
    line >> key >> value;
    return value;
}

TEST_F(SettingsCommand, ShowsTheRecordsAsLoadedAndPointsAtEveryValueCorrected) {
    std::filesystem::create_directories(Path("settings"));
    folder.WriteFile("settings/KIVOLY.INI",
                     "[KivoAcquireInformation]\nQuality=7\nUseColor=no\nNegative=true\n"
                     "CameraInput=True\nParallelPort=10\nVideoLockTime=1.5\n"
                     "[ProcessingSettings]\nBrightness=12abc\nHue=99\nWidth=800\nHeight=600\n"
                     "Contrast=-50\nGamma=abc\nShowWhileProcessing=False\n"
                     "[sound]\nkivosound=chime.wav\n");
    const auto run = Kivoly("settings --folder " + Path("settings"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("settings folder  " + Path("settings") + "\n"));
    EXPECT_THAT(run.output, HasSubstr(Path("settings/KIVOLY.INI")));
    const struct {
        const char *name, *value, *note;  // note "": nothing pointed at
    } fields[] = {
        {"Quality", "3", "<- 7 is out of range: brought to 3"},
        {"UseColor", "True", "<- 'no' not read (only a first T or F)"},
        {"Negative", "False", "<- 'true' not read"},
        {"CameraInput", "True", ""},
        {"PowerSaver", "True", ""},
        {"ParallelPort", "16", ""},
        {"IODelay", "-1", ""},
        {"VideoLockTime", "1.5", ""},
        {"Brightness", "12", "<- '12abc' is read as 12"},
        {"Hue", "50", "<- 99 is out of range: brought to 50"},
        {"Color", "0", ""},
        {"Contrast", "-50", ""},
        {"Gamma", "0", "<- 'abc' is not a number: the default"},
        {"Width", "640", "<- '800' is no width: 320, 640 or 1500"},
        {"Height", "480", ""},
        {"ShowWhileProcessing", "False", ""},
        {"KivoSound", "chime.wav", ""},
        {"NoVideoSound", "(none)", ""},
    };
    for (const auto& [name, value, note] : fields) {
        const std::string line = Line(run.output, name);
        EXPECT_EQ(Field(run.output, name), value) << line;
        if (*note) {
            EXPECT_THAT(line, HasSubstr(note));
        } else {
            EXPECT_THAT(line, Not(HasSubstr("<-")));
        }
        EXPECT_LE(line.size(), 79u);
    }
    // Showing the settings never writes them.
    EXPECT_FALSE(std::filesystem::exists(Path("settings/Kivoly.ini")));
}

TEST_F(SettingsCommand, FollowsTheEnvironmentAndRefusesBadArguments) {
    const auto run = Kivoly("settings");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("not there: every default applies"));
    EXPECT_EQ(Field(run.output, "VideoLockTime"), "0.5");

    const auto bad = Kivoly("settings --nonsense");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.output,
              "kivoly settings: unknown option '--nonsense' (kivoly settings --help)\n");
    EXPECT_EQ(Kivoly("settings --folder").exitCode, 2);
    const auto help = Kivoly("settings --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Usage: kivoly settings", 0), 0u);
    EXPECT_EQ(Kivoly("--version").output, "kivoly 1.1.0.2\n");
}

}  // namespace
}  // namespace kivoly
