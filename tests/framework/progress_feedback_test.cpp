#include "framework/progress_feedback.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/progress_window.h"
#include "kivoly/host.h"
#include "platform/key_state.h"
#include "platform/sound.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/golden_picture.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

using namespace platform;

class ProgressFeedbackTest : public ::testing::Test {
  protected:
    KivoHWnd Window(const ProgressFeedback& feedback) const {
        return feedback.Window() ? feedback.Window()->hwnd : nullptr;
    }

    test::TempSettingsFolder folder;
    test::WindowSession session;
};

// A new phase starts without the abort.
TEST_F(ProgressFeedbackTest, EscapeCtrlBreakAndCancelAbortOnlyACancellablePhase) {
    const std::function<void(KivoHWnd)> requests[] = {
        [](KivoHWnd) { InjectKeyPress(VkEscape); },
        [](KivoHWnd) { InjectKeyPress(VkCancel, ModControl); },
        [](KivoHWnd window) { InjectClick(test::ScreenPoint(window, 160, 75)); },
    };
    GrabberFeedback feedback;
    feedback.BeginBusy();
    for (const auto& request : requests) {
        for (bool cancellable : {false, true}) {
            feedback.Begin("Analyzing", 100, cancellable);
            EXPECT_FALSE(feedback.IsAborted());
            EXPECT_EQ(IsWindowVisible(feedback.Window()->cancelButton), cancellable);
            request(Window(feedback));
            feedback.Update(1, nullptr);
            EXPECT_EQ(feedback.IsAborted(), cancellable);
            EXPECT_EQ(feedback.AbortRequested(), cancellable);
        }
    }
    feedback.EndBusy();
}

int gDelivered = 0;
LResult CountingProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmUser) ++gDelivered;
    return DefWindowProc(window, message, first, second);
}

TEST_F(ProgressFeedbackTest, WithoutShowFlagNoWindowOpensButMessagesFlowAndRightButtonAborts) {
    folder.WriteFile("Kivoly.ini", "[KivoSettings]\nShowProgress=False\n");
    GrabberFeedback feedback;
    EXPECT_FALSE(feedback.ShowsWindow());
    RegisterClass({"CountingWindow", CountingProc});
    KivoHWnd target =
        CreateWindow(0, "CountingWindow", "", WsPopup, 0, 0, 10, 10, nullptr, 0, nullptr);
    gDelivered = 0;
    PostMessage(target, WmUser, 0, 0);

    feedback.BeginBusy();
    feedback.Begin("Capturing", 100, true);
    EXPECT_EQ(feedback.Window(), nullptr);
    EXPECT_EQ(gDelivered, 1);
    EXPECT_EQ(WindowFromPoint({512, 384}), GetDesktopWindow());

    InjectMouseButton(VkRButton, true, {600, 500});
    session.AdvanceMs(100);
    feedback.Update(10, nullptr);
    EXPECT_TRUE(feedback.IsAborted());
    EXPECT_EQ(feedback.Window(), nullptr);
    InjectMouseButton(VkRButton, false, {600, 500});

    // Held during a phase that cannot be cancelled, the button only raises the flag; the end
    // of the phase gives the arrow back.
    feedback.Begin("Capturing", 100, false);
    InjectMouseButton(VkRButton, true, {600, 500});
    SetCursor(Cursor::Wait);
    feedback.Update(11, nullptr);
    EXPECT_TRUE(feedback.AbortRequested());
    EXPECT_FALSE(feedback.IsAborted());
    EXPECT_EQ(GetCursor(), Cursor::Wait);
    feedback.Update(100, nullptr);
    EXPECT_EQ(GetCursor(), Cursor::Arrow);
    feedback.EndBusy();
}

TEST_F(ProgressFeedbackTest, NestedBusySectionsKeepOneWindowUntilTheLastEnds) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.BeginBusy();
    feedback.Begin("Capturing", 10, true);
    KivoHWnd first = Window(feedback);
    ASSERT_NE(first, nullptr);
    feedback.Begin(std::string(200, 'x').c_str(), 10, true);  // cut to the text's buffer
    EXPECT_EQ(std::string(feedback.Text()), std::string(79, 'x'));
    EXPECT_EQ(Window(feedback), first);

    feedback.EndBusy();
    EXPECT_TRUE(IsWindow(first));
    feedback.EndBusy();
    EXPECT_EQ(feedback.Window(), nullptr);
    EXPECT_FALSE(IsWindow(first));
    feedback.EndBusy();
    EXPECT_FALSE(feedback.Busy());
}

// The window as the user sees it: text centred at the top, the bar at a quarter inside its
// sunken frame, and the Cancel button; without cancelling there is neither frame nor button.
TEST_F(ProgressFeedbackTest, TheWindowMatchesItsGoldenPicturesAndAQuitAborts) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Capturing . . .", 200, true);
    KivoHWnd window = Window(feedback);
    session.AdvanceMs(80);
    feedback.Update(50, nullptr);
    test::ExpectGolden("progress-cancellable", test::ClientPicture(window));
    feedback.Begin("Converting", 200, false);
    session.AdvanceMs(80);
    feedback.Update(200 - 1, nullptr);  // 279 of 280 pixels (rounded)
    test::ExpectGolden("progress-plain", test::ClientPicture(window));

    // A quit request aborts and stays for the outer loop.
    feedback.Begin("Converting", 100, true);
    PostQuitMessage(4);
    feedback.Update(1, nullptr);
    EXPECT_TRUE(feedback.IsAborted());
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    EXPECT_EQ(message.message, WmQuit);
    EXPECT_EQ(message.wParam, 4u);
    feedback.EndBusy();
}

TEST_F(ProgressFeedbackTest, SoundsFollowTheSettingsFile) {
    folder.WriteFile("Kivoly.ini", "[Sound]\nKivoSound=none\n");
    ClearRecordedSounds();
    GrabberFeedback().PlaySound();
    EXPECT_TRUE(RecordedSounds().empty());
    folder.WriteFile("Kivoly.ini", "[Sound]\nKivoSound=missing.wav\n");
    GrabberFeedback().PlaySound();
    ASSERT_FALSE(RecordedSounds().empty());
    EXPECT_EQ(RecordedSounds().back().kind, SoundEvent::Beep);
}

using Log = std::vector<std::string>;

void OnUpdate(const char* text, uint32_t reached, uint32_t limit, void* context) {
    static_cast<Log*>(context)->push_back(std::string(text) + " " + std::to_string(reached) + "/" +
                                          std::to_string(limit));
}

void OnFinish(void* context) {
    static_cast<Log*>(context)->push_back("end");
}

// The terminal of the program sees the same repaints as the window, even with the window off.
TEST_F(ProgressFeedbackTest, AnObserverSeesTheThrottledRepaintsAndTheEndOfEachPhase) {
    folder.WriteFile("Kivoly.ini", "[KivoSettings]\nShowProgress=F\n");
    Log log;
    KivolyProgressObserver observer{OnUpdate, OnFinish, &log};
    KivolyHostSetProgressObserver(&observer);
    {
        GrabberFeedback feedback;
        feedback.BeginBusy();
        feedback.Begin("Capturing", 10, true);
        session.AdvanceMs(71);
        feedback.Update(3, nullptr);  // within 72 ms of the last repaint: not shown
        session.AdvanceMs(1);
        feedback.Update(4, "Analyzing");
        feedback.Update(10, nullptr);
        feedback.EndBusy();
        EXPECT_EQ(feedback.Window(), nullptr);
    }
    KivolyHostSetProgressObserver(nullptr);
    EXPECT_EQ(log, (Log{"Capturing 0/10", "Analyzing 4/10", "Analyzing 10/10", "end"}));
}

}  // namespace
}  // namespace kivoly
