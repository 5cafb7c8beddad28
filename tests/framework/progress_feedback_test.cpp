#include "framework/progress_feedback.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/progress_window.h"
#include "platform/key_state.h"
#include "platform/sound.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

using namespace platform;

constexpr uint32_t kYellow = 0xFFF530;
constexpr uint32_t kLightGrey = 0xC0C0C0;
constexpr uint32_t kGrey = 0x808080;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

class ProgressFeedbackTest : public ::testing::Test {
  protected:
    KivoHWnd Window(const ProgressFeedback& feedback) const {
        return feedback.Window() ? feedback.Window()->hwnd : nullptr;
    }

    test::TempSettingsFolder folder;
    test::WindowSession session;
};

TEST_F(ProgressFeedbackTest, EscapeAndCtrlBreakAbortOnlyACancellablePhase) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Capturing", 100, false);
    ASSERT_TRUE(IsWindowVisible(Window(feedback)));

    InjectKeyPress(VkEscape);
    feedback.Update(1, nullptr);
    EXPECT_FALSE(feedback.AbortRequested());
    EXPECT_FALSE(feedback.IsAborted());

    feedback.Begin("Analyzing", 100, true);
    InjectKeyPress(VkEscape);
    feedback.Update(1, nullptr);
    EXPECT_TRUE(feedback.IsAborted());

    feedback.Begin("Analyzing", 100, true);
    EXPECT_FALSE(feedback.IsAborted());
    InjectKeyPress(VkCancel, ModControl);
    feedback.Update(2, nullptr);
    EXPECT_TRUE(feedback.IsAborted());
    feedback.EndBusy();
}

TEST_F(ProgressFeedbackTest, ClickingCancelAbortsAndTheButtonIsHiddenWhenNotCancellable) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Converting", 100, true);
    KivoHWnd window = Window(feedback);
    ASSERT_NE(window, nullptr);
    KivoHWnd cancel = feedback.Window()->cancelButton;
    ASSERT_TRUE(IsWindowVisible(cancel));
    EXPECT_EQ(WindowFromPoint(test::ScreenPoint(window, 160, 75)), cancel);

    InjectClick(test::ScreenPoint(window, 160, 75));
    feedback.Update(1, nullptr);
    EXPECT_TRUE(feedback.IsAborted());

    feedback.Begin("Capturing", 100, false);
    EXPECT_FALSE(IsWindowVisible(cancel));
    InjectClick(test::ScreenPoint(window, 160, 75));
    feedback.Update(1, nullptr);
    EXPECT_FALSE(feedback.AbortRequested());
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

    // Held during a phase that cannot be cancelled, the button only raises the flag.
    feedback.Begin("Capturing", 100, false);
    InjectMouseButton(VkRButton, true, {600, 500});
    feedback.Update(11, nullptr);
    EXPECT_TRUE(feedback.AbortRequested());
    EXPECT_FALSE(feedback.IsAborted());
    feedback.EndBusy();
}

TEST_F(ProgressFeedbackTest, NestedBusySectionsKeepOneWindowUntilTheLastEnds) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.BeginBusy();
    feedback.Begin("Capturing", 10, true);
    KivoHWnd first = Window(feedback);
    ASSERT_NE(first, nullptr);
    feedback.Begin("Analyzing", 10, true);
    EXPECT_EQ(Window(feedback), first);

    feedback.EndBusy();
    EXPECT_TRUE(IsWindow(first));
    feedback.EndBusy();
    EXPECT_EQ(feedback.Window(), nullptr);
    EXPECT_FALSE(IsWindow(first));
    feedback.EndBusy();
    EXPECT_FALSE(feedback.Busy());
}

TEST_F(ProgressFeedbackTest, RepaintsAtMostEvery72MsAndNotAtTheLimit) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Decoding", 100, true);
    KivoHWnd window = Window(feedback);
    // Value 50 fills the bar to x = 20 + 140.
    feedback.Update(50, nullptr);
    EXPECT_EQ(test::ClientPixel(window, 100, 40), kLightGrey);
    session.AdvanceMs(71);
    feedback.Update(50, nullptr);
    EXPECT_EQ(test::ClientPixel(window, 100, 40), kLightGrey);
    session.AdvanceMs(1);
    feedback.Update(50, nullptr);
    EXPECT_EQ(test::ClientPixel(window, 100, 40), kYellow);

    session.AdvanceMs(200);
    feedback.Update(100, nullptr);
    EXPECT_EQ(feedback.Reached(), 100);
    EXPECT_EQ(test::ClientPixel(window, 250, 40), kLightGrey);
    feedback.EndBusy();
}

// The window as the user sees it, read back from the screen.
TEST_F(ProgressFeedbackTest, WindowShowsBarFrameAndText) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
    feedback.Begin("Capturing . . .", 200, true);
    KivoHWnd window = Window(feedback);
    Rect client;
    GetClientRect(window, client);
    EXPECT_EQ(client, (Rect{0, 0, 321, 100}));
    session.AdvanceMs(80);
    feedback.Update(50, nullptr);  // 280 * 50 / 200 = 70 pixels

    EXPECT_EQ(test::ClientPixel(window, 20, 40), kBlack);  // the bar's outline
    EXPECT_EQ(test::ClientPixel(window, 21, 40), kYellow);
    EXPECT_EQ(test::ClientPixel(window, 88, 40), kYellow);
    EXPECT_EQ(test::ClientPixel(window, 89, 40), kBlack);
    EXPECT_EQ(test::ClientPixel(window, 90, 40), kLightGrey);
    EXPECT_EQ(test::ClientPixel(window, 19, 40), kGrey);  // sunken frame
    EXPECT_EQ(test::ClientPixel(window, 150, 29), kGrey);
    EXPECT_EQ(test::ClientPixel(window, 300, 40), kWhite);
    EXPECT_EQ(test::ClientPixel(window, 150, 50), kWhite);

    int ink = 0;
    for (int y = 8; y < 22; ++y) {
        for (int x = 0; x < client.right; ++x)
            ink += test::ClientPixel(window, x, y) == kBlack;
    }
    EXPECT_GT(ink, 40);
    int inkOutsideCentre = 0;
    for (int y = 8; y < 22; ++y) {
        for (int x = 0; x < 100; ++x)
            inkOutsideCentre += test::ClientPixel(window, x, y) == kBlack;
    }
    EXPECT_EQ(inkOutsideCentre, 0);
    if (const char* picture = std::getenv("KIVOLY_SAVE_SCREEN")) SaveScreenPng(picture);

    // Without cancelling there is no frame.
    feedback.Begin("Converting", 200, false);
    session.AdvanceMs(80);
    feedback.Update(200 - 1, nullptr);
    EXPECT_EQ(test::ClientPixel(window, 19, 40), kLightGrey);
    EXPECT_EQ(test::ClientPixel(window, 297, 40), kYellow);  // 280 * 199 / 200 = 279 (rounded)
    feedback.EndBusy();
}

TEST_F(ProgressFeedbackTest, SoundsFollowTheSettingsFile) {
    folder.WriteFile("Kivoly.ini", "[Sound]\nKivoSound=none\n");
    {
        GrabberFeedback quiet;
        ClearRecordedSounds();
        quiet.PlaySound();
        EXPECT_TRUE(RecordedSounds().empty());
    }
    folder.WriteFile("Kivoly.ini", "[Sound]\nKivoSound=missing.wav\n");
    GrabberFeedback feedback;
    ClearRecordedSounds();
    feedback.PlaySound();
    ASSERT_FALSE(RecordedSounds().empty());
    EXPECT_EQ(RecordedSounds().back().kind, SoundEvent::Beep);
}

TEST_F(ProgressFeedbackTest, AQuitRequestAbortsAndStaysForTheOuterLoop) {
    GrabberFeedback feedback;
    feedback.BeginBusy();
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

TEST_F(ProgressFeedbackTest, LongTextIsCutToTheBuffer) {
    GrabberFeedback feedback;
    std::string longText(200, 'x');
    feedback.Begin(longText.c_str(), 10, false);
    EXPECT_EQ(std::string(feedback.Text()), std::string(79, 'x'));
    feedback.EndBusy();
}

}  // namespace
}  // namespace kivoly
