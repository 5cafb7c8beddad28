// `kivoly decode` as a user runs it: sizes, settings and options, batches, and bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/program_test.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

namespace fs = std::filesystem;

class DecodeCommandTest : public test::ProgramTest {
  protected:
    void SetUp() override {
        ASSERT_EQ(Kivoly("encode --bars --quality 2 -o " + Path("bars.nsr")).exitCode, 0);
    }
    // bars.nsr decoded with `options` to the picture NAME.
    sim::Picture Decode(const std::string& options, const std::string& name) const {
        const test::CommandResult run =
            Kivoly("decode " + Path("bars.nsr") + " " + options + " -o " + Path(name));
        EXPECT_EQ(run.exitCode, 0) << run.output;
        return Picture(name);
    }
};

TEST_F(DecodeCommandTest, OptionsAndTheSettingsFileDecideSizeFormatAndColour) {
    EXPECT_EQ(Decode("--size 320x240", "a.bmp").width, 320);
    EXPECT_EQ(fs::file_size(Path("a.bmp")), 54u + 320 * 3 * 240);
    sim::Picture picture = Decode("", "colour.png");
    ASSERT_EQ(picture.width, 640);  // the settings file's default size
    EXPECT_EQ(picture.height, 480);
    const uint8_t* cyan = picture.Pixel(230, 100);  // the third bar
    EXPECT_LT(cyan[0], 40);
    EXPECT_GT(cyan[2], 150);

    // The settings file asks for 320 x 240 and grey; options override what they name.
    folder.WriteFile("Kivoly.ini",
                     "[KivoAcquireInformation]\nQuality=2\nUseColor=False\n"
                     "[ProcessingSettings]\nWidth=320\nHeight=240\n");
    picture = Decode("", "grey.png");
    ASSERT_EQ(picture.width, 320);
    EXPECT_NEAR(picture.Pixel(115, 50)[0], picture.Pixel(115, 50)[2], 3);
    picture = Decode("--size 640x480 --color -50 --red 50", "red.png");
    ASSERT_EQ(picture.width, 640);
    const uint8_t* lifted = picture.Pixel(230, 100);
    EXPECT_GT(lifted[0], lifted[1] + 20);  // the red gain on a grey picture
}

// A batch goes on past a bad file; workers give the same pictures and lines, in input order.
TEST_F(DecodeCommandTest, JobsGiveTheSameFilesAndLinesInInputOrder) {
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("moving.nsr")).exitCode, 0);
    fs::copy_file(Path("bars.nsr"), Path("bars2.nsr"));
    fs::copy_file(Path("moving.nsr"), Path("moving2.nsr"));
    // A raw capture without video fails to decode, in the middle of the batch.
    folder.WriteFile("dark.nsr", std::string("KIVO\0\0\x10\0\0\0", 10) + std::string(16, '\0'));
    std::string inputs;
    for (const char* name : {"bars", "dark", "moving", "bars2", "moving2"})
        inputs += " " + Path(name) + ".nsr";
    const test::CommandResult one = Kivoly("decode" + inputs + " --jobs 1 -o " + Path("one/"));
    const test::CommandResult three = Kivoly("decode" + inputs + " -j 3 -o " + Path("three/"));
    EXPECT_EQ(one.exitCode, 1);
    EXPECT_EQ(three.exitCode, 1);
    std::string expected = one.output;
    for (std::size_t at; (at = expected.find("/one/")) != std::string::npos;)
        expected.replace(at, 5, "/three/");
    EXPECT_EQ(three.output, expected);
    EXPECT_THAT(one.output, HasSubstr("dark.nsr: Video signal not detected"));
    for (const char* name : {"bars.bmp", "moving.bmp", "bars2.bmp", "moving2.bmp"}) {
        EXPECT_EQ(folder.ReadFile(std::string("one/") + name),
                  folder.ReadFile(std::string("three/") + name))
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
        folder.WriteFile("out/" + name + ".bmp", "old");
        inputs += " " + Path(name + ".nsr");
    }
    const std::string command = "exec env KIVOLY_HOME=" + test::ShellQuote(folder.Path()) + " " +
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

TEST_F(DecodeCommandTest, TheFileDecidesTheQualityUnlessOneIsAsked) {
    folder.WriteFile("Kivoly.ini", "[KivoAcquireInformation]\nQuality=3\n");
    ASSERT_EQ(Kivoly("encode --bars --quality 0 -o " + Path("one.nsr")).exitCode, 0);
    test::CommandResult run = Kivoly("decode " + Path("one.nsr") + " -o " + Path("one.png"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.output, HasSubstr("(quality 0,"));
    EXPECT_THAT(run.output, Not(HasSubstr("warning")));
    run = Kivoly("decode " + Path("one.nsr") + " --quality 2 -o " + Path("two.png"));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.output, HasSubstr("one.nsr holds 1 field(s); quality 2 reads 4"));
}

// Bad options, inputs that are not raw captures and batches that would lose a picture: one line.
TEST_F(DecodeCommandTest, BadInputIsRefusedInOneLineWithExitCodeTwo) {
    folder.WriteFile("README.md", "# Kivoly\n" + std::string(2000, 'x'));
    folder.WriteFile("empty.nsr", "");
    folder.WriteFile("cut.nsr", folder.ReadFile("bars.nsr").substr(0, 1000));
    fs::create_directories(Path("other"));
    ASSERT_EQ(Kivoly("encode --bars -q 0 -o " + Path("other/bars.nsr")).exitCode, 0);
    fs::copy_file(Path("other/bars.nsr"), Path("other/second.nsr"));
    fs::copy_file(Path("bars.nsr"), Path("raw.png"));  // a raw capture under a picture's name
    folder.WriteFile("taken.png", "keep");
    const std::string two = Path("bars.nsr") + " " + Path("other/second.nsr");
    const std::string toPng = " -o " + Path("x.png");
    const std::pair<std::string, std::string> cases[] = {
        {Path("README.md") + toPng, "README.md: not a raw capture (.nsr)"},
        {Path("empty.nsr") + toPng, "empty.nsr: empty file, not a raw capture (.nsr)"},
        {Path("cut.nsr") + toPng, "cut.nsr: ends after 1,000 bytes"},
        {folder.Path() + toPng, folder.Path() + ": is a directory"},
        {Path("missing.nsr") + toPng, "missing.nsr: No such file or directory"},
        // Nothing of a batch is written when one of its files cannot be decoded at all.
        {Path("bars.nsr") + " " + Path("README.md") + " -o " + Path("out"), "README.md"},
        {Path("bars.nsr") + " " + Path("other/bars.nsr") + " -o " + Path("sets"),
         "would both become"},
        {two + " -o " + Path("taken.png"), "is a file"},
        {Path("bars.nsr") + " --format png -o " + Path("x.bmp"), "does not match"},
        {Path("raw.png") + " -o " + Path("raw.png"), "would replace the raw file"},
        {two + " -o " + Path("a/b/c/"), "the folder " + Path("a/b") + " does not exist"},
        {Path("bars.nsr") + " -o " + Path("x.jpg"), "must end in .bmp or .png"},
        {Path("bars.nsr") + " --hue=51" + toPng, "not '51'"},
        {Path("bars.nsr") + " --size 800x600" + toPng, "not '800x600'"},
        {Path("bars.nsr") + " -j0" + toPng, "not '0'"},
        {Path("bars.nsr") + " --grey=1" + toPng, "unknown option '--grey=1'"},
        {Path("bars.nsr") + " --quality", "--quality needs a value"},
        {"--frobnicate", "unknown option '--frobnicate'"},
        {"", "no raw file given"},
        {Path("bars.nsr"), "no output given"},
    };
    for (const auto& [arguments, message] : cases) {
        const test::CommandResult run = Kivoly("decode " + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.output;
        EXPECT_THAT(run.output, HasSubstr(message));
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
        EXPECT_THAT(run.output, Not(HasSubstr("Video signal")));
    }
    EXPECT_EQ(folder.ReadFile("taken.png"), "keep");
    EXPECT_EQ(folder.ReadFile("raw.png"), folder.ReadFile("bars.nsr"));
    for (const char* name : {"out", "sets", "a"})
        EXPECT_FALSE(fs::exists(Path(name))) << name;
    // A missing folder whose parent exists is made, and said so.
    const test::CommandResult made = Kivoly("decode " + two + " -o " + Path("made/"));
    EXPECT_EQ(made.exitCode, 0) << made.output;
    EXPECT_THAT(made.output, HasSubstr("made/: folder created"));
    EXPECT_TRUE(fs::exists(Path("made/second.bmp")));
}

}  // namespace
}  // namespace kivoly
