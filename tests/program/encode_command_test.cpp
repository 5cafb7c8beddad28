// `kivoly encode` as a user runs it: the records a decode of each quality reads, and one clear
// error line with a non-zero exit for input it cannot use.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

// Runs the program and keeps what it wrote to standard error.
test::CommandResult Kivoly(const std::string& arguments) {
    return test::RunCommand("{ " + std::string(KIVOLY_PROGRAM) + " " + arguments +
                            " >/dev/null; }");
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

TEST(EncodeCommandTest, WritesOneRecordPerAcquiredField) {
    const std::string output = ::testing::TempDir() + "encode_command_test.nsr";
    const std::pair<std::string, size_t> cases[] = {
        {"--bars --quality 0", 1}, {"--bars -q 1", 3}, {test::TestDataPath("natural.png"), 4}};
    for (const auto& [arguments, records] : cases) {
        const test::CommandResult run = Kivoly("encode " + arguments + " -o " + output);
        ASSERT_EQ(run.exitCode, 0) << arguments << ": " << run.output;
        const std::vector<uint8_t> file = ReadBytes(output);
        ASSERT_EQ(file.size(), records * (10 + 262144)) << arguments;
        for (size_t r = 0; r < records; ++r) {
            const uint8_t* header = &file[r * (10 + 262144)];
            EXPECT_EQ(std::string(header, header + 4), "KIVO");
            EXPECT_EQ(header[4] | header[5] << 8, 0);  // a stable signal
            EXPECT_EQ(header[6] | header[7] << 8 | header[8] << 16, 262144);
        }
    }
    std::remove(output.c_str());
}

TEST(EncodeCommandTest, BadInputGivesOneErrorLineAndFails) {
    const std::string output = ::testing::TempDir() + "encode_command_bad.nsr";
    const std::string notAPicture = ::testing::TempDir() + "encode_command_bad.txt";
    std::ofstream(notAPicture) << "hello";
    // A PNG cut short: libpng's complaint belongs in the one line, not on a line of its own.
    const std::string cutPng = ::testing::TempDir() + "encode_command_cut.png";
    const std::vector<uint8_t> whole = ReadBytes(test::TestDataPath("natural.png"));
    std::ofstream(cutPng, std::ios::binary)
        .write(reinterpret_cast<const char*>(whole.data()), 3000);
    const std::string cases[] = {
        "encode --bars",                                     // no output
        "encode --bars -o " + output + " --quality 4",       // quality out of range
        "encode --bars x.png -o " + output,                  // both sources
        "encode --frobnicate -o " + output,                  // unknown option
        "encode " + notAPicture + " -o " + output,           // not a picture
        "encode --bars -o /nonexistent-folder/x.nsr",        // cannot create
        "encode --bars -o " + output + ".png",               // a raw capture named as a picture
        "encode " + ::testing::TempDir() + " -o " + output,  // a folder
        "encode " + cutPng + " -o " + output,                // a damaged picture
    };
    for (const std::string& arguments : cases) {
        const test::CommandResult run = Kivoly(arguments);
        EXPECT_NE(run.exitCode, 0) << arguments;
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1)
            << arguments << ": " << run.output;
    }
    std::remove(notAPicture.c_str());
    std::remove(cutPng.c_str());
    std::remove(output.c_str());
}

TEST(EncodeCommandTest, NeverWritesOverItsOwnPicture) {
    const std::string picture = ::testing::TempDir() + "encode_command_own.png";
    const std::vector<uint8_t> original = ReadBytes(test::TestDataPath("natural.png"));
    std::ofstream(picture, std::ios::binary)
        .write(reinterpret_cast<const char*>(original.data()),
               static_cast<std::streamsize>(original.size()));
    const test::CommandResult run = Kivoly("encode " + picture + " --output=" + picture);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("a raw capture is not a picture"), std::string::npos) << run.output;
    const std::string link = ::testing::TempDir() + "encode_command_own.nsr";
    std::remove(link.c_str());
    ASSERT_EQ(::symlink(picture.c_str(), link.c_str()), 0);
    const test::CommandResult linked = Kivoly("encode " + picture + " -o" + link);
    EXPECT_EQ(linked.exitCode, 2);
    EXPECT_NE(linked.output.find("would replace the picture"), std::string::npos) << linked.output;
    EXPECT_EQ(ReadBytes(picture), original);
    std::remove(link.c_str());
    std::remove(picture.c_str());
}

}  // namespace
}  // namespace kivoly
