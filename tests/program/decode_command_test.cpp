// `kivoly decode` as a user runs it: raw captures made by `kivoly encode` become pictures of the
// asked size under the settings file's records and the options; bad input gives one line and a
// non-zero exit, and a batch goes on past a bad file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/picture.h"
#include "sim/picture_file.h"
#include "support/run_command.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

class DecodeCommandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        work_ = folder_.Path() + "/work";
        fs::create_directories(work_);
        ASSERT_EQ(Kivoly("encode --bars --quality 2 -o " + Path("bars.nsr")).exitCode, 0);
    }

    test::CommandResult Kivoly(const std::string& arguments) const {
        return test::RunCommand("KIVOLY_HOME=" + test::ShellQuote(folder_.Path()) + " " +
                                KIVOLY_PROGRAM + " " + arguments);
    }
    std::string Path(const std::string& name) const { return work_ + "/" + name; }

    static std::string ReadAll(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    test::TempSettingsFolder folder_;
    std::string work_;
};

TEST_F(DecodeCommandTest, WritesBmpOrPngOfTheAskedSize) {
    test::CommandResult run =
        Kivoly("decode " + Path("bars.nsr") + " --quality 2 --size 320x240 -o " + Path("a.bmp"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(fs::file_size(Path("a.bmp")), 54u + 320 * 3 * 240);

    run = Kivoly("decode " + Path("bars.nsr") + " --quality 2 -o " + Path("b.png"));
    ASSERT_EQ(run.exitCode, 0) << run.output;
    sim::Picture picture;
    std::string error;
    ASSERT_TRUE(sim::ReadPicture(Path("b.png"), picture, error)) << error;
    EXPECT_EQ(picture.width, 640);  // the settings file's default size
    EXPECT_EQ(picture.height, 480);
    // The first bar is 75 % grey, the third cyan.
    const uint8_t* grey = picture.Pixel(40, 100);
    EXPECT_NEAR(grey[0], 191, 12);
    EXPECT_NEAR(grey[1], 191, 12);
    const uint8_t* cyan = picture.Pixel(230, 100);
    EXPECT_LT(cyan[0], 40);
    EXPECT_GT(cyan[2], 150);
}

TEST_F(DecodeCommandTest, OptionsAndTheSettingsFileDecide) {
    // The settings file asks for 320 x 240 and grey; options override what they name.
    folder_.WriteFile("Kivoly.ini",
                      "[KivoAcquireInformation]\nQuality=2\nUseColor=False\n"
                      "[ProcessingSettings]\nWidth=320\nHeight=240\n");
    ASSERT_EQ(Kivoly("decode " + Path("bars.nsr") + " -o " + Path("grey.png")).exitCode, 0);
    sim::Picture picture;
    std::string error;
    ASSERT_TRUE(sim::ReadPicture(Path("grey.png"), picture, error)) << error;
    EXPECT_EQ(picture.width, 320);
    const uint8_t* bar = picture.Pixel(115, 50);  // the cyan bar, without colour
    EXPECT_NEAR(bar[0], bar[2], 3);

    ASSERT_EQ(Kivoly("decode " + Path("bars.nsr") + " --size 640x480 --color -50 --red 50 -o " +
                     Path("red.png"))
                  .exitCode,
              0);
    ASSERT_TRUE(sim::ReadPicture(Path("red.png"), picture, error)) << error;
    EXPECT_EQ(picture.width, 640);
    const uint8_t* lifted = picture.Pixel(230, 100);
    EXPECT_GT(lifted[0], lifted[1] + 20);  // the red gain on a grey picture
}

TEST_F(DecodeCommandTest, ABatchGoesOnPastABadFile) {
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("moving.nsr")).exitCode, 0);
    const test::CommandResult run =
        Kivoly("decode " + Path("bars.nsr") + " " + Path("missing.nsr") + " " + Path("moving.nsr") +
               " --format png -o " + Path("out"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(fs::exists(Path("out/bars.png")));
    EXPECT_TRUE(fs::exists(Path("out/moving.png")));
    EXPECT_NE(run.output.find("missing.nsr"), std::string::npos) << run.output;
}

// Workers decode a batch at the same time, but the pictures and every line come out as one
// process gives them, in input order.
TEST_F(DecodeCommandTest, JobsGiveTheSameFilesAndLinesInInputOrder) {
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("moving.nsr")).exitCode, 0);
    std::string inputs;
    for (const char* name : {"bars", "missing", "moving", "bars", "moving"})
        inputs += " " + Path(name) + ".nsr";
    const test::CommandResult one = Kivoly("decode" + inputs + " --jobs 1 -o " + Path("one"));
    const test::CommandResult three = Kivoly("decode" + inputs + " -j 3 -o " + Path("three"));
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(three.exitCode, 1);
    std::string expected = one.output;
    for (std::size_t at; (at = expected.find("/one/")) != std::string::npos;)
        expected.replace(at, 5, "/three/");
    EXPECT_EQ(three.output, expected);
    for (const char* name : {"bars.bmp", "moving.bmp"}) {
        EXPECT_EQ(ReadAll(Path("one/") + name), ReadAll(Path("three/") + name)) << name;
    }
}

TEST_F(DecodeCommandTest, BadInputGivesOneLineAndANonZeroExit) {
    for (const std::string& arguments :
         {"decode " + Path("bars.nsr") + " -o " + Path("x.jpg"),
          "decode " + Path("bars.nsr") + " --hue 51 -o " + Path("x.png"),
          "decode " + Path("bars.nsr") + " --size 800x600 -o " + Path("x.png"),
          "decode " + Path("bars.nsr") + " --quality", std::string("decode --frobnicate"),
          std::string("decode"), "decode " + Path("bars.nsr"),
          "decode " + Path("bars.nsr") + " --jobs 0 -o " + Path("x.png")}) {
        const test::CommandResult run = Kivoly(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1)
            << arguments << ": " << run.output;
    }
    folder_.WriteFile("junk.nsr", std::string(5000, '\x11'));
    const test::CommandResult run =
        Kivoly("decode " + folder_.File("junk.nsr") + " -o " + Path("junk.png"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("Video signal not detected"), std::string::npos) << run.output;
    EXPECT_FALSE(fs::exists(Path("junk.png")));
}

}  // namespace
}  // namespace kivoly
