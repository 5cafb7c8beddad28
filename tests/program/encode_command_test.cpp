// `kivoly encode` as a user runs it: the records each quality reads, one error line for bad input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/program_test.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

class EncodeCommandTest : public test::ProgramTest {
  protected:
    void SetUp() override { fs::copy_file(test::TestDataPath("natural.png"), Path("own.png")); }
};

TEST_F(EncodeCommandTest, WritesOneRecordPerAcquiredField) {
    const std::pair<std::string, size_t> cases[] = {
        {"--bars --quality 0", 1}, {"--bars -q 1", 3}, {Path("own.png"), 4}};
    for (const auto& [arguments, records] : cases) {
        const test::CommandResult run = Kivoly("encode " + arguments + " -o " + Path("x.nsr"));
        ASSERT_EQ(run.exitCode, 0) << arguments << ": " << run.output;
        EXPECT_EQ(fs::file_size(Path("x.nsr")), records * (10 + 262144)) << arguments;
    }
}

TEST_F(EncodeCommandTest, BadInputGivesOneErrorLineAndExitCodeTwoAndKeepsItsPicture) {
    folder.WriteFile("bad.txt", "hello");
    folder.WriteFile("cut.png", folder.ReadFile("own.png").substr(0, 3000));
    const std::string original = folder.ReadFile("own.png");
    ASSERT_EQ(::symlink(Path("own.png").c_str(), Path("own.nsr").c_str()), 0);
    const std::string x = " -o " + Path("x.nsr");
    const std::pair<std::string, std::string> cases[] = {
        {"--bars", "give the raw file to write with -o RAW.nsr"},
        {"--bars --quality 4" + x, "quality must be 0, 1, 2 or 3, not '4'"},
        {"--bars x.png" + x, "give either a picture or --bars"},
        {"--frobnicate" + x, "unknown option '--frobnicate'"},
        {Path("bad.txt") + x, "bad.txt: not a PNG, BMP or binary PPM picture"},
        {"--bars -o /nonexistent-folder/x.nsr", "the folder /nonexistent-folder does not exist"},
        {"--bars -o " + Path("x.png"), "x.png: a raw capture is not a picture; name it .nsr"},
        {folder.Path() + x, ": is a directory"},
        // libpng's complaint belongs in the one line, not on a line of its own.
        {Path("cut.png") + x, "cut.png: damaged PNG data"},
        // It never writes over its own picture, under its name or through a link.
        {Path("own.png") + " --output=" + Path("own.png"), "a raw capture is not a picture"},
        {Path("own.png") + " -o" + Path("own.nsr"), "would replace the picture"},
    };
    for (const auto& [arguments, message] : cases) {
        const test::CommandResult run = Kivoly("encode " + arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_THAT(run.output, HasSubstr(message));
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
    }
    EXPECT_FALSE(fs::exists(Path("x.nsr")));
    EXPECT_EQ(folder.ReadFile("own.png"), original);
}

}  // namespace
}  // namespace kivoly
