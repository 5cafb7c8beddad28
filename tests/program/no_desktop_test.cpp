// Without a reachable desktop nothing waits for input: the preview saves, --show warns and goes on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/program_test.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

// A display name that no X server answers.
std::string DeadDisplay() {
    for (int number = 4321;; ++number)
        if (!fs::exists("/tmp/.X11-unix/X" + std::to_string(number)))
            return ":" + std::to_string(number);
}

class NoDesktopTest : public test::ProgramTest, public ::testing::WithParamInterface<std::string> {
  protected:
    // Killed after 30 s; leaks are the D-Bus client's, kept for a display that did not answer.
    test::CommandResult Run(const std::string& arguments) const {
        return Kivoly(arguments, "cd " + folder.Path() + " && timeout 30 env -u WAYLAND_DISPLAY " +
                                     GetParam() + " ASAN_OPTIONS=detect_leaks=0 ");
    }
};

TEST_P(NoDesktopTest, PreviewSavesItsFramesAndShowWarnsAndTheDecodeGoesOn) {
    const test::CommandResult preview = Run("preview --simulate");
    ASSERT_NE(preview.exitCode, 124) << "the preview waited for a desktop";
    EXPECT_EQ(preview.exitCode, 0) << preview.output;
    EXPECT_THAT(preview.output, HasSubstr("no desktop"));
    for (const char* frame : {"preview-1.png", "preview-2.png", "preview-3.png"})
        EXPECT_EQ(Picture(frame).width, 160) << frame;

    ASSERT_EQ(Run("encode --bars -o bars.nsr").exitCode, 0);
    const test::CommandResult decode = Run("decode bars.nsr -o bars.png --show");
    ASSERT_NE(decode.exitCode, 124) << "the decode waited for a desktop";
    EXPECT_EQ(decode.exitCode, 0) << decode.output;
    EXPECT_THAT(decode.output, HasSubstr("--show"));
    EXPECT_EQ(Picture("bars.png").width, 640);
}

INSTANTIATE_TEST_SUITE_P(Displays, NoDesktopTest,
                         ::testing::Values("-u DISPLAY", "DISPLAY=" + DeadDisplay()));

}  // namespace
}  // namespace kivoly
