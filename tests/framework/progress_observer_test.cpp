#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/progress_feedback.h"
#include "kivoly/host.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

struct Log {
    std::vector<std::string> events;
};

void OnUpdate(const char* text, uint32_t reached, uint32_t limit, void* context) {
    static_cast<Log*>(context)->events.push_back(std::string(text) + " " + std::to_string(reached) +
                                                 "/" + std::to_string(limit));
}

void OnFinish(void* context) {
    static_cast<Log*>(context)->events.push_back("end");
}

// The terminal of the program sees the same repaints as the window, even with the window off.
TEST(ProgressObserver, SeesTheThrottledRepaintsAndTheEndOfEachPhase) {
    test::TempSettingsFolder folder;
    folder.WriteFile("Kivoly.ini", "[KivoSettings]\nShowProgress=F\n");
    test::WindowSession session;
    Log log;
    KivolyProgressObserver observer{OnUpdate, OnFinish, &log};
    KivolyHostSetProgressObserver(&observer);
    {
        GrabberFeedback feedback;
        feedback.BeginBusy();
        feedback.Begin("Capturing", 10, true);
        feedback.Update(3, nullptr);  // within 72 ms of the last repaint: not shown
        session.AdvanceMs(72);
        feedback.Update(4, "Analyzing");
        feedback.Update(10, nullptr);
        feedback.EndBusy();
        EXPECT_EQ(feedback.Window(), nullptr);
    }
    KivolyHostSetProgressObserver(nullptr);
    EXPECT_EQ(log.events, (std::vector<std::string>{"Capturing 0/10", "Analyzing 4/10",
                                                    "Analyzing 10/10", "end"}));
}

}  // namespace
}  // namespace kivoly
