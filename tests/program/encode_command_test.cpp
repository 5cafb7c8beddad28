// `kivoly encode` as a user runs it: the records each quality reads, one error line for bad input.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/run_command.h"
#include "support/temp_settings_folder.h"
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

std::string Cut(const std::vector<uint8_t>& bytes, std::size_t size) {
    return std::string(bytes.begin(), bytes.begin() + static_cast<long>(size));
}

TEST(EncodeCommandTest, WritesOneRecordPerAcquiredField) {
    test::TempSettingsFolder folder;
    const std::string output = folder.File("encoded.nsr");
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
}

TEST(EncodeCommandTest, BadInputGivesOneErrorLineAndFails) {
    test::TempSettingsFolder folder;
    const std::string output = folder.File("bad.nsr");
    const std::string notAPicture = folder.File("bad.txt");
    folder.WriteFile("bad.txt", "hello");
    // A PNG cut short: libpng's complaint belongs in the one line, not on a line of its own.
    const std::string cutPng = folder.File("cut.png");
    folder.WriteFile("cut.png", Cut(ReadBytes(test::TestDataPath("natural.png")), 3000));
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
}

TEST(EncodeCommandTest, NeverWritesOverItsOwnPicture) {
    test::TempSettingsFolder folder;
    const std::string picture = folder.File("own.png");
    const std::vector<uint8_t> original = ReadBytes(test::TestDataPath("natural.png"));
    folder.WriteFile("own.png", Cut(original, original.size()));
    const test::CommandResult run = Kivoly("encode " + picture + " --output=" + picture);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("a raw capture is not a picture"), std::string::npos) << run.output;
    const std::string link = folder.File("own.nsr");
    ASSERT_EQ(::symlink(picture.c_str(), link.c_str()), 0);
    const test::CommandResult linked = Kivoly("encode " + picture + " -o" + link);
    EXPECT_EQ(linked.exitCode, 2);
    EXPECT_NE(linked.output.find("would replace the picture"), std::string::npos) << linked.output;
    EXPECT_EQ(ReadBytes(picture), original);
}

}  // namespace
}  // namespace kivoly
