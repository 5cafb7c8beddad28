// The command line as a person meets it: short usage, GNU option forms, typo hints, help width.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/run_command.h"

namespace kivoly {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

using test::RunCommand;

const std::string kProgram = KIVOLY_PROGRAM;

TEST(Usage, NoArgumentsOrAMistypedCommandSayWhatToDoOnStandardError) {
    const auto bare = RunCommand("{ " + kProgram + " >/dev/null; }");
    EXPECT_EQ(bare.exitCode, 2);
    EXPECT_EQ(bare.output.rfind("Usage: kivoly COMMAND [options]\n", 0), 0u) << bare.output;
    EXPECT_LT(std::count(bare.output.begin(), bare.output.end(), '\n'), 5);

    const auto typo = RunCommand("{ " + kProgram + " decod x.nsr >/dev/null; }");
    EXPECT_EQ(typo.exitCode, 2);
    EXPECT_THAT(typo.output, HasSubstr("unknown command 'decod'; did you mean 'decode'?"));
    const auto far = RunCommand(kProgram + " frobnicate");
    EXPECT_THAT(far.output, Not(HasSubstr("did you mean")));
}

TEST(Usage, HelpFitsSeventyNineColumnsWithOneColumnOfDescriptions) {
    for (const char* command :
         {"", "capture ", "decode ", "encode ", "preview ", "settings ", "ui "}) {
        const auto run = RunCommand(kProgram + " " + command + "--help");
        EXPECT_EQ(run.exitCode, 0) << command;
        std::istringstream lines(run.output);
        std::size_t column = 0;
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 79u) << command << ": " << line;
            // An option line: its description starts where every other one does.
            if (line.rfind("  -", 0) != 0) continue;
            const std::size_t gap = line.find("  ", 2);
            if (gap == std::string::npos) continue;
            const std::size_t start = line.find_first_not_of(' ', gap);
            if (column == 0) column = start;
            EXPECT_EQ(start, column) << command << ": " << line;
        }
    }
}

}  // namespace
}  // namespace kivoly
