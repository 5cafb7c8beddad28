// The device commands as a user runs them, on the simulated digitizer and on no device at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/picture.h"
#include "sim/picture_file.h"
#include "support/run_command.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

class DeviceCommandsTest : public ::testing::Test {
  protected:
    DeviceCommandsTest() : folder(fs::path(::testing::TempDir()) / "device_commands") {
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    ~DeviceCommandsTest() override { fs::remove_all(folder); }

    test::CommandResult Kivoly(const std::string& arguments, const std::string& before = "") {
        return test::RunKivoly(folder.string(), arguments, before);
    }
    std::string In(const std::string& name) { return test::ShellQuote((folder / name).string()); }

    fs::path folder;
};

// The frames show the colour bars: the grey bar on the left brighter than the blue on the right.
TEST_F(DeviceCommandsTest, PreviewSavesTheFramesAskedOfTheSimulatedDigitizer) {
    const test::CommandResult run = Kivoly("preview --simulate --frames 2 -o " + In("frame"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    for (const char* name : {"frame-1.png", "frame-2.png"}) {
        sim::Picture frame;
        std::string error;
        ASSERT_TRUE(sim::ReadPicture((folder / name).string(), frame, error)) << error;
        EXPECT_EQ(frame.width, 160);
        EXPECT_EQ(frame.height, 120);
        EXPECT_GT(frame.Pixel(20, 60)[1], frame.Pixel(140, 60)[1] + 60) << name;
    }
    EXPECT_FALSE(fs::exists(folder / "frame-3.png"));

    // Under a picture's name, without video: exactly the one frame asked, named after it.
    fs::remove_all(folder);
    fs::create_directories(folder);
    const test::CommandResult noise =
        Kivoly("preview --device sim --fault no-video --frames 1 -o " + In("noise.png"));
    EXPECT_EQ(noise.exitCode, 0) << noise.output;
    EXPECT_TRUE(fs::exists(folder / "noise-1.png"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
        << noise.output;
}

TEST_F(DeviceCommandsTest, TheDeviceSaysWhatIsWrongWithIt) {
    const test::CommandResult battery =
        Kivoly("capture --simulate --fault low-battery --size 320x240 -o " + In("b.png"));
    EXPECT_EQ(battery.exitCode, 0) << battery.output;
    EXPECT_NE(battery.output.find("warning: the digitizer's battery is low"), std::string::npos)
        << battery.output;
    const test::CommandResult port =
        Kivoly("capture --device ppdev:/nonexistent/parport0 -o " + In("p.png"));
    EXPECT_EQ(port.exitCode, 1);
    const std::size_t reason = port.output.find(
        "cannot open /nonexistent/parport0: No such file or directory; is the ppdev module");
    EXPECT_NE(reason, std::string::npos) << port.output;
    EXPECT_LT(reason, port.output.find("Kivoly hardware not found!")) << port.output;
}

TEST_F(DeviceCommandsTest, AFailedWriteKeepsTheOldPictureAndFails) {
    // The file size limit makes every write past 100 kB fail, as a full disk would.
    const std::string picture = (folder / "full.bmp").string();
    std::ofstream(picture) << "the old picture";
    const test::CommandResult run =
        Kivoly("capture --simulate --quality 0 --size 1500x1125 -o " + In("full.bmp"),
               "trap '' XFSZ; ulimit -f 100; ");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_NE(run.output.find("cannot write " + picture + ": File too large"), std::string::npos)
        << run.output;
    std::ifstream file(picture);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "the old picture");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

TEST_F(DeviceCommandsTest, CaptureFromTheSimulatedDigitizer) {
    const test::CommandResult run =
        Kivoly("capture --simulate --quality 2 --size 320x240 -o " + In("bars.png"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("device time"), std::string::npos) << run.output;
    // The colour bars: 75 % grey on the left, blue on the right.
    sim::Picture picture;
    std::string error;
    ASSERT_TRUE(sim::ReadPicture((folder / "bars.png").string(), picture, error)) << error;
    ASSERT_EQ(picture.width, 320);
    EXPECT_NEAR(picture.Pixel(20, 120)[1], 191, 15);
    EXPECT_LT(picture.Pixel(300, 120)[1], 40);
    EXPECT_GT(picture.Pixel(300, 120)[2], 150);
    const test::CommandResult bmp = Kivoly("capture --simulate --quality 0 -o " + In("bars.bmp"));
    EXPECT_EQ(bmp.exitCode, 0) << bmp.output;
    EXPECT_EQ(fs::file_size(folder / "bars.bmp"), 54u + 640u * 480u * 3u);
}

TEST_F(DeviceCommandsTest, CaptureFailuresSayWhy) {
    // KIVOLY_DEVICE stands for --device: the program's own simulation, with its faults, answers.
    // A port number beyond any device names none, and ends in the library's dialog.
    const struct {
        std::string environment, arguments;
        int exitCode;
        std::string message;
    } cases[] = {
        {"", "capture --device sim --fault no-video", 1, "Video signal not detected"},
        {"KIVOLY_DEVICE=sim ", "capture --fault no-video", 1, "Video signal not detected"},
        {"", "capture --device none", 1, "Kivoly hardware not found!"},
        {"", "capture --device ppdev:/dev/parport99999999999999", 1, ""},
        {"", "capture --device ppdev:/dev/null", 1, "cannot claim /dev/null"},
        {"", "capture --simulate --video " + In("missing.png"), 2,
         "missing.png: No such file or directory"},
        {"", "capture --simulate --video " + In(""), 2, ": is a directory"},
        {"", "preview --simulate --video " + In(""), 2, ": is a directory"},
    };
    for (const auto& c : cases) {
        const test::CommandResult run = Kivoly(c.arguments + " -o " + In("x.png"), c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments << ": " << run.output;
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
    }
    EXPECT_FALSE(fs::exists(folder / "x.png"));
    EXPECT_EQ(Kivoly("capture --simulate").exitCode, 2);
    EXPECT_EQ(Kivoly("capture --simulate -o x.gif").exitCode, 2);
    const test::CommandResult simulated =
        Kivoly("capture --size 320x240 -o " + In("s.png"), "KIVOLY_DEVICE=sim ");
    EXPECT_EQ(simulated.exitCode, 0) << simulated.output;
    EXPECT_TRUE(fs::exists(folder / "s.png"));
}

TEST_F(DeviceCommandsTest, BadOptionsGiveOneLineAndExitCodeTwo) {
    for (const char* arguments :
         {"preview --fault bogus", "preview --device parallel", "preview --frames 0",
          "preview --device none --video x.png", "preview --video"}) {
        const test::CommandResult run = Kivoly(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.output;
        EXPECT_NE(run.output.find("kivoly preview: "), std::string::npos) << arguments;
    }
    const test::CommandResult help = Kivoly("preview --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("unstable-sync"), std::string::npos);
}

}  // namespace
}  // namespace kivoly
