#include "../../tools/kivoly/terminal_progress.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "framework/progress_feedback.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly::cli {
namespace {

TEST(TerminalProgress, FormatsTextBarAndPercentage) {
    EXPECT_EQ(TerminalProgress::FormatLine("Analyzing", 5, 10, 10),
              "Analyzing                    [#####     ]  50%");
    EXPECT_EQ(TerminalProgress::FormatLine("", 30, 10, 4), std::string(28, ' ') + " [####] 100%");
    EXPECT_EQ(TerminalProgress::FormatLine("x", 3, 0, 2),
              "x" + std::string(27, ' ') + " [  ]   0%");
}

TEST(TerminalProgress, DrawsOneLineInPlacePerPhase) {
    test::TempSettingsFolder folder;
    test::WindowSession session;
    std::FILE* stream = std::tmpfile();
    ASSERT_NE(stream, nullptr);
    {
        TerminalProgress terminal(stream, true);
        GrabberFeedback feedback;
        feedback.BeginBusy();
        feedback.Begin("Capturing . . .", 4, true);
        session.AdvanceMs(100);
        feedback.Update(2, nullptr);
        feedback.Update(4, nullptr);
        feedback.EndBusy();
    }
    std::rewind(stream);
    std::string written;
    for (int c; (c = std::fgetc(stream)) != EOF;)
        written += static_cast<char>(c);
    std::fclose(stream);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\r'), 3);
    EXPECT_NE(written.find(TerminalProgress::FormatLine("Capturing . . .", 2, 4, 30)),
              std::string::npos);
    EXPECT_NE(written.rfind("100%\033[K\n"), std::string::npos);
}

}  // namespace
}  // namespace kivoly::cli
