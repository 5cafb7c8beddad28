#include "../../tools/kivoly/terminal_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/progress_feedback.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly::cli {
namespace {

TEST(TerminalProgress, FormatsTextBarAndPercentageWithTheBarInOneColumn) {
    EXPECT_EQ(TerminalProgress::FormatLine("Analyzing", 5, 10, 10),
              "Analyzing" + std::string(25, ' ') + " [#####     ]  50%");
    EXPECT_EQ(TerminalProgress::FormatLine("", 30, 10, 4), std::string(34, ' ') + " [####] 100%");
    EXPECT_EQ(TerminalProgress::FormatLine("x", 3, 0, 2),
              "x" + std::string(33, ' ') + " [  ]   0%");
    const std::string longest =
        TerminalProgress::FormatLine("Creating 1500 x 1125 image . . .", 0, 1, 10);
    EXPECT_EQ(longest.find('['),
              TerminalProgress::FormatLine("Capturing . . .", 0, 1, 10).find('['));
}

// What was written to `stream`, which is closed.
std::string Written(std::FILE* stream) {
    std::rewind(stream);
    std::string written;
    for (int c; (c = std::fgetc(stream)) != EOF;)
        written += static_cast<char>(c);
    std::fclose(stream);
    return written;
}

// Draws a complete phase (two updates), then a notice that never advances unless `!notice`.
std::string DrawPhases(const char* term, const char* captureLabel = nullptr, bool notice = true) {
    test::TempSettingsFolder folder;
    test::WindowSession session;
    std::FILE* stream = std::tmpfile();
    const char* saved = std::getenv("TERM");
    const std::string savedTerm = saved ? saved : "";
    ::setenv("TERM", term, 1);
    {
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
    if (saved)
        ::setenv("TERM", savedTerm.c_str(), 1);
    else
        ::unsetenv("TERM");
    return Written(stream);
}

TEST(TerminalProgress, AnUnfinishedPhaseIsClearedAndADumbTerminalGetsNoEscapes) {
    const std::string ansi = DrawPhases("xterm", "Decoding");
    EXPECT_NE(ansi.find("Decoding "), std::string::npos) << ansi;
    EXPECT_EQ(ansi.find("Capturing"), std::string::npos) << ansi;
    // The complete phase keeps its line; the notice that never advanced leaves none.
    EXPECT_EQ(std::count(ansi.begin(), ansi.end(), '\n'), 1) << ansi;
    EXPECT_EQ(ansi.substr(ansi.size() - 5), "\r\033[K\r") << ansi;

    const std::string dumb = DrawPhases("dumb");
    EXPECT_EQ(dumb.find('\033'), std::string::npos) << dumb;
    EXPECT_NE(dumb.find("Capturing"), std::string::npos) << dumb;
    EXPECT_EQ(std::count(dumb.begin(), dumb.end(), '\n'), 1) << dumb;
    // The notice is blanked out with spaces instead.
    const std::string lastLine = dumb.substr(dumb.rfind('\n') + 1);
    EXPECT_EQ(lastLine.find_first_not_of(" \r", lastLine.rfind("%") + 1), std::string::npos);
    EXPECT_EQ(lastLine.back(), '\r');
}

TEST(TerminalProgress, DrawsOneLineInPlacePerPhase) {
    const std::string written = DrawPhases("xterm", nullptr, false);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\r'), 3);
    EXPECT_NE(written.find(TerminalProgress::FormatLine("Capturing . . .", 2, 4, 30)),
              std::string::npos);
    EXPECT_NE(written.rfind("100%\033[K\n"), std::string::npos);
}

}  // namespace
}  // namespace kivoly::cli
