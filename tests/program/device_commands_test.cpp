// The device commands as a user runs them, on the simulated digitizer and on no device at all.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "support/program_test.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

using DeviceCommandsTest = test::ProgramTest;

// The frames show the colour bars: the grey bar on the left brighter than the blue on the right.
TEST_F(DeviceCommandsTest, PreviewSavesTheFramesAskedOfTheSimulatedDigitizer) {
    const test::CommandResult run = Kivoly("preview --simulate --frames 2 -o " + Path("frame"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* name : {"frame-1.png", "frame-2.png"}) {
        const sim::Picture frame = Picture(name);
        ASSERT_EQ(frame.width, 160);
        EXPECT_EQ(frame.height, 120);
        EXPECT_GT(frame.Pixel(20, 60)[1], frame.Pixel(140, 60)[1] + 60) << name;
    }
    EXPECT_FALSE(fs::exists(Path("frame-3.png")));

    // Under a picture's name, without video: exactly the one frame asked, named after it.
    fs::create_directories(Path("noise"));
    const test::CommandResult noise =
        Kivoly("preview --device sim --fault no-video --frames 1 -o " + Path("noise/noise.png"));
    EXPECT_EQ(noise.exitCode, 0) << noise.output;
    EXPECT_TRUE(fs::exists(Path("noise/noise-1.png")));
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("noise")), fs::directory_iterator()), 1);
}

TEST_F(DeviceCommandsTest, AFailedWriteKeepsTheOldPictureAndFails) {
    // The file size limit makes every write past 100 kB fail, as a full disk would.
    folder.WriteFile("full.bmp", "the old picture");
    const test::CommandResult run =
        Kivoly("capture --simulate --quality 0 --size 1500x1125 -o " + Path("full.bmp"),
               "trap '' XFSZ; ulimit -f 100; ");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_THAT(run.output, HasSubstr("cannot write " + Path("full.bmp") + ": File too large"));
    EXPECT_EQ(folder.ReadFile("full.bmp"), "the old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

// What the device warns of is said; the pixels are scanimage's test's to compare with the backend's.
TEST_F(DeviceCommandsTest, CaptureFromTheSimulatedDigitizer) {
    const test::CommandResult run = Kivoly(
        "capture --simulate --fault low-battery --quality 2 --size 320x240 -o " + Path("bars.png"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_THAT(run.output, HasSubstr("device time"));
    EXPECT_THAT(run.output, HasSubstr("warning: the digitizer's battery is low"));
    EXPECT_EQ(Picture("bars.png").width, 320);
    // KIVOLY_DEVICE stands for --device.
    const test::CommandResult bmp =
        Kivoly("capture --quality 0 -o " + Path("bars.bmp"), "KIVOLY_DEVICE=sim ");
    EXPECT_EQ(bmp.exitCode, 0) << bmp.output;
    EXPECT_EQ(fs::file_size(Path("bars.bmp")), 54u + 640u * 480u * 3u);
}

// What the device or the command line lacks is said; no picture is written.
TEST_F(DeviceCommandsTest, FailuresSayWhy) {
    const std::string x = " -o " + Path("x.png");
    const struct {
        std::string environment, arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {"", "capture --device sim --fault no-video" + x, 1, "Video signal not detected"},
        {"KIVOLY_DEVICE=sim ", "capture --fault no-video" + x, 1, "Video signal not detected"},
        {"", "capture --device none" + x, 1, "Kivoly hardware not found!"},
        // A port that cannot be opened is explained before the library's dialog.
        {"", "capture --device ppdev:/nonexistent/parport0" + x, 1,
         "cannot open /nonexistent/parport0: No such file or directory; is the ppdev module "
         "loaded (modprobe ppdev)?\nKivoly hardware not found!"},
        {"", "capture --device ppdev:/dev/parport99999999999999" + x, 1, "hardware not found"},
        {"", "capture --device ppdev:/dev/null" + x, 1, "cannot claim /dev/null"},
        {"", "capture --simulate --video " + Path("missing.png") + x, 2,
         "missing.png: No such file or directory"},
        {"", "capture --simulate --video " + Path("") + x, 2, ": is a directory"},
        {"", "preview --simulate --video " + Path("") + x, 2, ": is a directory"},
        {"", "capture --simulate", 2, "give the picture to write with -o PICTURE"},
        {"", "capture --simulate -o x.gif", 2, "x.gif: the picture must end in .bmp or .png"},
        {"", "preview --fault bogus", 2, "unknown fault 'bogus'"},
        {"", "preview --device parallel", 2, "unknown device 'parallel'"},
        {"", "preview --frames 0", 2, "--frames takes a number from 1 to 1000, not '0'"},
        {"", "preview --device none --video x.png", 2, "need the simulated digitizer"},
        {"", "preview --video", 2, "--video needs a picture file"},
    };
    for (const auto& c : cases) {
        const test::CommandResult run = Kivoly(c.arguments, c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.output;
        EXPECT_THAT(run.output, HasSubstr(c.message));
    }
    EXPECT_FALSE(fs::exists(Path("x.png")));
    const test::CommandResult help = Kivoly("preview --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_THAT(help.output, HasSubstr("unstable-sync"));
}

}  // namespace
}  // namespace kivoly
