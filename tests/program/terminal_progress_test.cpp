#include "../../tools/kivoly/terminal_progress.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/progress_feedback.h"
#include "support/scoped_variable.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly::cli {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(TerminalProgress, FormatsTextBarAndPercentageWithTheBarInOneColumn) {
    EXPECT_EQ(TerminalProgress::FormatLine("Analyzing", 5, 10, 10),
              "Analyzing" + std::string(25, ' ') + " [#####     ]  50%");
    EXPECT_EQ(TerminalProgress::FormatLine("", 30, 10, 4), std::string(34, ' ') + " [####] 100%");
    EXPECT_EQ(TerminalProgress::FormatLine("x", 3, 0, 2),
              "x" + std::string(33, ' ') + " [  ]   0%");
}

// What is drawn for a complete phase (two updates), then for a notice that never advances
// unless `!notice`, with TERM set to `term`.
std::string DrawPhases(const char* term, const char* captureLabel = nullptr, bool notice = true) {
    test::TempSettingsFolder folder;
    test::WindowSession session;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* stream = open_memstream(&buffer, &size);
    {
        const test::ScopedVariable terminalType("TERM", term);
        TerminalProgress terminal(stream, true, captureLabel);
        GrabberFeedback feedback;
        feedback.BeginBusy();
        feedback.Begin("Capturing . . .", 4, true);
        session.AdvanceMs(100);
        feedback.Update(2, nullptr);
        feedback.Update(4, nullptr);
        if (notice) feedback.Begin("Creating 1500 x 1125 image . . .", 1, false);
        feedback.EndBusy();
    }
    std::fclose(stream);
    const std::string written(buffer, size);
    std::free(buffer);
    return written;
}

TEST(TerminalProgress, DrawsOneLineInPlacePerPhaseAndClearsAnUnfinishedOne) {
    const std::string whole = DrawPhases("xterm", nullptr, false);
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\r'), 3);
    EXPECT_THAT(whole, HasSubstr(TerminalProgress::FormatLine("Capturing . . .", 2, 4, 30)));
    EXPECT_THAT(whole, EndsWith("100%\033[K\n"));

    const std::string ansi = DrawPhases("xterm", "Decoding");
    EXPECT_THAT(ansi, HasSubstr("Decoding "));
    EXPECT_THAT(ansi, Not(HasSubstr("Capturing")));
    // The complete phase keeps its line; the notice that never advanced leaves none.
    EXPECT_EQ(std::count(ansi.begin(), ansi.end(), '\n'), 1) << ansi;
    EXPECT_THAT(ansi, EndsWith("\r\033[K\r"));

    const std::string dumb = DrawPhases("dumb");
    EXPECT_THAT(dumb, Not(HasSubstr("\033")));
    EXPECT_THAT(dumb, HasSubstr("Capturing"));
    EXPECT_EQ(std::count(dumb.begin(), dumb.end(), '\n'), 1) << dumb;
    // The notice is blanked out with spaces instead.
    const std::string lastLine = dumb.substr(dumb.rfind('\n') + 1);
    EXPECT_EQ(lastLine.find_first_not_of(" \r", lastLine.rfind("%") + 1), std::string::npos);
    EXPECT_EQ(lastLine.back(), '\r');
}

}  // namespace
}  // namespace kivoly::cli
