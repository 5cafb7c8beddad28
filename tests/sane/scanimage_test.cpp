// The backend as SANE's own command-line front end sees it, through the dll backend: the build's
// backend is found through SANE_CONFIG_DIR and LD_LIBRARY_PATH, nothing is installed.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sim/picture_file.h"
#include "support/run_command.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ShellQuote;

class ScanimageTest : public ::testing::Test {
  protected:
    ScanimageTest() : folder(fs::path(::testing::TempDir()) / "scanimage") {
        fs::remove_all(folder);
        fs::create_directories(folder / "config");
        fs::create_directories(folder / "home");
        std::ofstream(folder / "config" / "dll.conf") << "kivoly\n";
    }
    ~ScanimageTest() override { fs::remove_all(folder); }

    void Configure(const std::string& lines) {
        std::ofstream(folder / "config" / "kivoly.conf") << lines;
    }
    std::string Environment() const {
        return "SANE_CONFIG_DIR=" + ShellQuote((folder / "config").string()) +
               " LD_LIBRARY_PATH=" + ShellQuote(KIVOLY_SANE_LIBRARY_DIR) +
               " KIVOLY_HOME=" + ShellQuote((folder / "home").string()) + " ";
    }
    test::CommandResult Scanimage(const std::string& arguments) const {
        return RunCommand(Environment() + KIVOLY_SCANIMAGE + " " + arguments + " </dev/null");
    }
    std::string In(const std::string& name) const { return ShellQuote((folder / name).string()); }

    fs::path folder;
};

TEST(SaneBackend, ExportsTheEntryPointsAndNothingElse) {
    const test::CommandResult nm =
        RunCommand(std::string("nm -D --defined-only ") + ShellQuote(KIVOLY_SANE_LIBRARY_DIR) +
                   "/libsane-kivoly.so.1");
    ASSERT_EQ(nm.exitCode, 0) << nm.output;
    std::istringstream lines(nm.output);
    std::string address, type, name;
    int count = 0;
    while (lines >> address >> type >> name) {
        EXPECT_EQ(name.rfind("sane_kivoly_", 0), 0u) << name;
        ++count;
    }
    EXPECT_EQ(count, 13);  // init, exit, get_devices, open, close, ... get_select_fd
}

TEST_F(ScanimageTest, ListsTheDevicesOfTheConfigurationOrTheSimulatedOne) {
    test::CommandResult run = Scanimage("-L");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("device `kivoly:sim' is a Kivoly"), std::string::npos) << run.output;

    Configure("# the digitizer on the first port\nsim\ndirect:0x378\nsim again\nwarp:9\n");
    run = Scanimage("-L");
    EXPECT_NE(run.output.find("`kivoly:sim'"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("`kivoly:direct:0x378'"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("kivoly.conf:4: 'sim' is already listed"), std::string::npos);
    EXPECT_NE(run.output.find("kivoly.conf:5: unknown device 'warp:9'"), std::string::npos);
}

// Each size and mode, with the settings of the program's capture written as SANE options.
TEST_F(ScanimageTest, CapturesTheSamePixelsAsTheProgram) {
    struct Case {
        const char* sane;
        const char* program;
    };
    const std::vector<Case> cases = {
        {"--picture-size 320x240 --mode Color --saturation -30 --gamma 15 --source Camera",
         "--size 320x240 --color -30 --gamma 15 --camera"},
        {"--resolution 160 --mode gray --negative=yes --quality '70ns Quality Still'",
         "--size 640x480 --grey --negative --quality 2"},
        {"--resolution 375 --quality '35ns Quality Still' --brightness 10 --contrast -10 "
         "--red-balance 5 --blue-balance -5 --sharpness 30",
         "--size 1500x1125 --quality 3 --brightness 10 --contrast -10 --red 5 --blue -5 "
         "--sharpness 30"},
    };
    for (const Case& c : cases) {
        const test::CommandResult scan =
            Scanimage("-d kivoly:sim --format=png -o " + In("sane.png") + " " + c.sane);
        ASSERT_EQ(scan.exitCode, 0) << c.sane << "\n" << scan.output;
        const test::CommandResult capture = RunCommand(
            "KIVOLY_HOME=" + ShellQuote((folder / "home").string()) + " " + KIVOLY_PROGRAM +
            " capture --simulate -o " + In("program.png") + " " + c.program);
        ASSERT_EQ(capture.exitCode, 0) << capture.output;
        sim::Picture sane;
        sim::Picture program;
        std::string error;
        ASSERT_TRUE(sim::ReadPicture((folder / "sane.png").string(), sane, error)) << error;
        ASSERT_TRUE(sim::ReadPicture((folder / "program.png").string(), program, error)) << error;
        EXPECT_TRUE(sane.width == program.width && sane.rgb == program.rgb) << c.sane;
    }
}

// The interrupt comes once the capture runs (the backend logs its start): scanimage cancels from
// its signal handler, the capture stops early and the next scan runs as usual. The shell prints
// its process number, which scanimage keeps.
TEST_F(ScanimageTest, AnInterruptedScanStopsAndTheNextOneRuns) {
    const std::string command = "echo $$; exec env SANE_DEBUG_KIVOLY=3 " + Environment() +
                                KIVOLY_SCANIMAGE +
                                " -d kivoly:sim --format=png --picture-size 1500x1125 "
                                "--quality '35ns Quality Still' -o " +
                                In("stopped.png") + " </dev/null 2>&1";
    std::FILE* lines = popen(command.c_str(), "r");
    ASSERT_NE(lines, nullptr);
    char line[512];
    ASSERT_NE(std::fgets(line, sizeof line, lines), nullptr);
    const pid_t scanimage = std::atoi(line);
    std::string text;
    bool interrupted = false;
    while (std::fgets(line, sizeof line, lines)) {
        text += line;
        if (!interrupted && std::strstr(line, "sim: capturing")) {
            interrupted = kill(scanimage, SIGINT) == 0;
        }
    }
    const int status = pclose(lines);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << text;
    EXPECT_NE(text.find("sane_start: Operation was canceled"), std::string::npos) << text;
    EXPECT_TRUE(!fs::exists(folder / "stopped.png") || fs::file_size(folder / "stopped.png") == 0);

    const test::CommandResult next = Scanimage("-d kivoly:sim --format=png -o " + In("next.png"));
    EXPECT_EQ(next.exitCode, 0) << next.output;
    sim::Picture picture;
    std::string error;
    ASSERT_TRUE(sim::ReadPicture((folder / "next.png").string(), picture, error)) << error;
    EXPECT_EQ(picture.width * picture.height, 640 * 480);
}

}  // namespace
}  // namespace kivoly
