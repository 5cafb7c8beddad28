// The kivoly program's settings command, run as a user runs it.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_command.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

using test::RunCommand;
using test::ShellQuote;

const std::string kProgram = KIVOLY_PROGRAM;

// The value column of the line that starts with `name` (after two blanks), or "".
std::string Field(const std::string& output, const std::string& name) {
    const std::string start = "\n  " + name + " ";
    const std::size_t at = output.find(start);
    if (at == std::string::npos) return "";
    std::size_t begin = output.find_first_not_of(' ', at + start.size());
    std::size_t end = output.find_first_of(" \n", begin);
    return output.substr(begin, end - begin);
}

TEST(SettingsCommand, ShowsTheRecordsAsTheLibraryLoadsThem) {
    test::TempSettingsFolder folder;
    folder.WriteFile("KIVOLY.INI",
                     "[KivoAcquireInformation]\nParallelPort=10\nUseColor=no\nVideoLockTime=1.5\n"
                     "[ProcessingSettings]\nWidth=800\nHeight=600\nBrightness=-12\n"
                     "ShowWhileProcessing=False\n[sound]\nkivosound=chime.wav\n");
    const auto run =
        RunCommand(ShellQuote(kProgram) + " settings --folder " + ShellQuote(folder.Path()));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("settings folder  " + folder.Path() + "\n"), std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find(folder.File("KIVOLY.INI")), std::string::npos) << run.output;
    for (const auto& [name, value] : {std::pair{"ParallelPort", "16"},
                                      {"UseColor", "True"},
                                      {"VideoLockTime", "1.5"},
                                      {"Width", "640"},
                                      {"Height", "480"},
                                      {"Brightness", "-12"},
                                      {"ShowWhileProcessing", "False"},
                                      {"IODelay", "-1"},
                                      {"KivoSound", "chime.wav"},
                                      {"NoVideoSound", "(none)"}})
        EXPECT_EQ(Field(run.output, name), value) << name;
    // Showing the settings never writes them.
    EXPECT_FALSE(std::filesystem::exists(folder.File("Kivoly.ini")));
}

// The line of `name`, whole.
std::string Line(const std::string& output, const std::string& name) {
    const std::size_t at = output.find("\n  " + name + " ");
    if (at == std::string::npos) return "";
    return output.substr(at + 1, output.find('\n', at + 1) - at - 1);
}

TEST(SettingsCommand, PointsAtEveryValueItCouldNotReadOrHadToCorrect) {
    test::TempSettingsFolder folder;
    folder.WriteFile("Kivoly.ini",
                     "[KivoAcquireInformation]\nQuality=7\nUseColor=no\nNegative=true\n"
                     "CameraInput=True\n[ProcessingSettings]\nBrightness=12abc\nHue=99\n"
                     "Width=800\nContrast=-50\nGamma=abc\n");
    const auto run =
        RunCommand(ShellQuote(kProgram) + " settings --folder " + ShellQuote(folder.Path()));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    const std::pair<const char*, const char*> pointed[] = {
        {"Quality", "3          <- 7 is out of range: brought to 3"},
        {"UseColor", "True       <- 'no' not read (only a first T or F)"},
        {"Negative", "False      <- 'true' not read"},
        {"Brightness", "12         <- '12abc' is read as 12"},
        {"Hue", "50         <- 99 is out of range: brought to 50"},
        {"Width", "640        <- '800' is no width: 320, 640 or 1500"},
        {"Gamma", "0          <- 'abc' is not a number: the default"},
    };
    for (const auto& [name, text] : pointed) {
        EXPECT_NE(Line(run.output, name).find(text), std::string::npos) << run.output;
        EXPECT_LE(Line(run.output, name).size(), 79u);
    }
    for (const char* name : {"CameraInput", "Contrast", "Color", "PowerSaver"})
        EXPECT_EQ(Line(run.output, name).find("<-"), std::string::npos) << Line(run.output, name);
}

TEST(SettingsCommand, FollowsTheEnvironmentAndRefusesBadArguments) {
    test::TempSettingsFolder folder;
    const auto run = RunCommand("KIVOLY_HOME=" + ShellQuote(folder.Path()) + " " +
                                ShellQuote(kProgram) + " settings");
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("not there: every default applies"), std::string::npos);
    EXPECT_EQ(Field(run.output, "VideoLockTime"), "0.5");

    const auto bad = RunCommand(ShellQuote(kProgram) + " settings --nonsense");
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(bad.output,
              "kivoly settings: unknown option '--nonsense' (kivoly settings --help)\n");
    EXPECT_EQ(RunCommand(ShellQuote(kProgram) + " settings --folder").exitCode, 2);
    const auto help = RunCommand(ShellQuote(kProgram) + " settings --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.output.rfind("Usage: kivoly settings", 0), 0u);
    const auto version = RunCommand(ShellQuote(kProgram) + " --version");
    EXPECT_EQ(version.output, "kivoly 1.1.0.2\n");
}

}  // namespace
}  // namespace kivoly
