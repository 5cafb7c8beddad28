// `kivoly decode` as a user runs it: sizes, settings and options, batches, and bad input.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdint>
#include <filesystem>
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
        return test::RunKivoly(folder_.Path(), arguments);
    }
    std::string Path(const std::string& name) const { return work_ + "/" + name; }

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

// A batch goes on past a bad file; workers give the same pictures and lines, in input order.
TEST_F(DecodeCommandTest, JobsGiveTheSameFilesAndLinesInInputOrder) {
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("moving.nsr")).exitCode, 0);
    fs::copy_file(Path("bars.nsr"), Path("bars2.nsr"));
    fs::copy_file(Path("moving.nsr"), Path("moving2.nsr"));
    // A raw capture without video fails to decode, in the middle of the batch.
    folder_.WriteFile("work/dark.nsr",
                      std::string("KIVO\0\0\x10\0\0\0", 10) + std::string(16, '\0'));
    std::string inputs;
    for (const char* name : {"bars", "dark", "moving", "bars2", "moving2"})
        inputs += " " + Path(name) + ".nsr";
    fs::create_directories(Path("one"));
    fs::create_directories(Path("three"));
    const test::CommandResult one = Kivoly("decode" + inputs + " --jobs 1 -o " + Path("one"));
    const test::CommandResult three = Kivoly("decode" + inputs + " -j 3 -o " + Path("three"));
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(three.exitCode, 1);
    std::string expected = one.output;
    for (std::size_t at; (at = expected.find("/one/")) != std::string::npos;)
        expected.replace(at, 5, "/three/");
    EXPECT_EQ(three.output, expected);
    EXPECT_NE(one.output.find("dark.nsr: Video signal not detected"), std::string::npos)
        << one.output;
    for (const char* name : {"bars.bmp", "moving.bmp", "bars2.bmp", "moving2.bmp"}) {
        EXPECT_EQ(folder_.ReadFile(std::string("work/one/") + name),
                  folder_.ReadFile(std::string("work/three/") + name))
            << name;
    }
}

// Ctrl-C at any moment of a batch leaves every picture old or whole new, and no temporary.
TEST_F(DecodeCommandTest, AnInterruptedBatchLeavesWholePicturesAndNoTemporary) {
    std::string inputs;
    fs::create_directories(Path("out"));
    for (int i = 0; i < 12; ++i) {
        const std::string name = "p" + std::to_string(i);
        fs::copy_file(Path("bars.nsr"), Path(name + ".nsr"));
        folder_.WriteFile("work/out/" + name + ".bmp", "old");
        inputs += " " + Path(name + ".nsr");
    }
    const std::string command = "exec env KIVOLY_HOME=" + test::ShellQuote(folder_.Path()) + " " +
                                KIVOLY_PROGRAM + " decode" + inputs + " --size 320x240 -o " +
                                Path("out") + " >/dev/null 2>&1 </dev/null";
    // The workers may outlive the program briefly: as their reaper this test waits for them.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    for (int delayMs : {30, 80, 150}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setpgid(0, 0);
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        setpgid(child, child);
        usleep(static_cast<useconds_t>(delayMs * 1000));
        kill(-child, SIGINT);  // as the terminal sends it: to the program and its workers
        while (waitpid(-child, nullptr, 0) > 0) {
        }
        for (const auto& entry : fs::directory_iterator(Path("out"))) {
            const std::string name = entry.path().filename().string();
            EXPECT_NE(name[0], '.') << "a temporary is left after " << delayMs << " ms";
            const auto size = fs::file_size(entry.path());
            EXPECT_TRUE(size == 3 || size == 54u + 320 * 3 * 240) << name << ": " << size;
        }
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

TEST_F(DecodeCommandTest, FilesThatAreNotRawCapturesAreNamedAsSuch) {
    folder_.WriteFile("README.md", "# Kivoly\n" + std::string(2000, 'x'));
    folder_.WriteFile("empty.nsr", "");
    const std::string bars = folder_.ReadFile("work/bars.nsr");
    folder_.WriteFile("cut.nsr", bars.substr(0, 1000));
    const std::pair<std::string, std::string> cases[] = {
        {folder_.File("README.md"), "README.md: not a raw capture (.nsr)"},
        {folder_.File("empty.nsr"), "empty.nsr: empty file, not a raw capture (.nsr)"},
        {folder_.File("cut.nsr"), "cut.nsr: ends after 1,000 bytes"},
        {folder_.Path(), folder_.Path() + ": is a directory"},
        {Path("missing.nsr"), "missing.nsr: No such file or directory"},
    };
    for (const auto& [input, message] : cases) {
        const test::CommandResult run = Kivoly("decode " + input + " -o " + Path("x.png"));
        EXPECT_EQ(run.exitCode, 2) << input;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("Video signal"), std::string::npos) << run.output;
    }
    // Nothing of a batch is written when one of its files cannot be decoded at all.
    const test::CommandResult batch = Kivoly("decode " + Path("bars.nsr") + " " +
                                             folder_.File("README.md") + " -o " + Path("out"));
    EXPECT_EQ(batch.exitCode, 2);
    EXPECT_FALSE(fs::exists(Path("out")));
}

TEST_F(DecodeCommandTest, TheFileDecidesTheQualityUnlessOneIsAsked) {
    folder_.WriteFile("Kivoly.ini", "[KivoAcquireInformation]\nQuality=3\n");
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("one.nsr")).exitCode, 0);
    test::CommandResult run = Kivoly("decode " + Path("one.nsr") + " -o " + Path("one.png"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("(quality 0,"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("warning"), std::string::npos) << run.output;
    run = Kivoly("decode " + Path("one.nsr") + " --quality 2 -o " + Path("two.png"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("one.nsr holds 1 field(s); quality 2 reads 4"), std::string::npos)
        << run.output;
}

TEST_F(DecodeCommandTest, ABatchThatWouldLoseOrMisnameAPictureIsRefused) {
    fs::create_directories(Path("other"));
    ASSERT_EQ(Kivoly("encode --bars -q 0 -o " + Path("other/bars.nsr")).exitCode, 0);
    fs::copy_file(Path("other/bars.nsr"), Path("other/second.nsr"));
    fs::copy_file(Path("bars.nsr"), Path("raw.png"));  // a raw capture under a picture's name
    folder_.WriteFile("work/taken.png", "keep");
    const std::string two = Path("bars.nsr") + " " + Path("other/bars.nsr");
    const std::pair<std::string, std::string> cases[] = {
        {two + " -o " + Path("sets"), "would both become"},
        {Path("bars.nsr") + " " + Path("other/second.nsr") + " -o " + Path("taken.png"),
         "is a file"},
        {Path("bars.nsr") + " --format png -o " + Path("x.bmp"), "does not match"},
        {Path("raw.png") + " -o " + Path("raw.png"), "would replace the raw file"},
        {Path("bars.nsr") + " " + Path("other/second.nsr") + " -o " + Path("a/b/c/"),
         "the folder " + Path("a/b") + " does not exist"},
    };
    for (const auto& [arguments, message] : cases) {
        const test::CommandResult run = Kivoly("decode " + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.output;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
    }
    EXPECT_EQ(folder_.ReadFile("work/taken.png"), "keep");
    EXPECT_EQ(folder_.ReadFile("work/raw.png"), folder_.ReadFile("work/bars.nsr"));
    EXPECT_FALSE(fs::exists(Path("sets")));
    EXPECT_FALSE(fs::exists(Path("a")));
    // A missing folder whose parent exists is made, and said so.
    const test::CommandResult made = Kivoly("decode " + Path("bars.nsr") + " " +
                                            Path("other/second.nsr") + " -o " + Path("made/"));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    EXPECT_NE(made.output.find("made/: folder created"), std::string::npos) << made.output;
    EXPECT_TRUE(fs::exists(Path("made/second.bmp")));
}

TEST_F(DecodeCommandTest, BadInputGivesOneLineAndExitCodeTwo) {
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
}

}  // namespace
}  // namespace kivoly
