// Without a reachable desktop nothing waits for input: the preview saves, --show warns and goes on.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/run_command.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

// A display name that no X server answers.
std::string DeadDisplay() {
    for (int number = 4321;; ++number)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(number)))
            return ":" + std::to_string(number);
}

class NoDesktopTest : public ::testing::TestWithParam<std::string> {
  protected:
    NoDesktopTest() : folder(fs::path(::testing::TempDir()) / "no_desktop") {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~NoDesktopTest() override { fs::remove_all(folder); }

    // Killed after 30 s; leaks are the D-Bus client's, kept for a display that did not answer.
    test::CommandResult Kivoly(const std::string& arguments) {
        const std::string q = test::ShellQuote(folder.string());
        return test::RunCommand("cd " + q + " && env -u WAYLAND_DISPLAY " + GetParam() +
                                " ASAN_OPTIONS=detect_leaks=0 KIVOLY_HOME=" + q + " timeout 30 " +
                                KIVOLY_PROGRAM + " " + arguments + " </dev/null");
    }

    fs::path folder;
};

TEST_P(NoDesktopTest, PreviewSavesItsFrames) {
    const test::CommandResult run = Kivoly("preview --simulate");
    ASSERT_NE(run.exitCode, 124) << "the preview waited for a desktop";
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("no desktop"), std::string::npos) << run.output;
    for (const char* frame : {"preview-1.png", "preview-2.png", "preview-3.png"})
        EXPECT_TRUE(fs::exists(folder / frame)) << frame;
}

TEST_P(NoDesktopTest, ShowWarnsAndTheDecodeGoesOn) {
    ASSERT_EQ(Kivoly("encode --bars -o bars.nsr").exitCode, 0);
    const test::CommandResult run = Kivoly("decode bars.nsr -o bars.png --show");
    ASSERT_NE(run.exitCode, 124) << "the decode waited for a desktop";
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("--show"), std::string::npos) << run.output;
    EXPECT_GT(fs::file_size(folder / "bars.png"), 1000u);
}

INSTANTIATE_TEST_SUITE_P(Displays, NoDesktopTest,
                         ::testing::Values("-u DISPLAY", "DISPLAY=" + DeadDisplay()));

}  // namespace
}  // namespace kivoly
