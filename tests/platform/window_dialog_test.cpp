// Modal dialogs from templates and message boxes on the window system: answered headless by
// the message-box responder, and by a person (a scripted one) on an interactive display.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <deque>
#include <functional>

#include "platform/internal/window/message_box_window.h"
#include "platform/internal/window/static_control.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/window/button.h"
#include "platform/window/dialog.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

const DialogTemplate& PortDialog() {
    return *FindDialogTemplate(kPortDialogId);
}

int32_t* gChosen = nullptr;

intptr_t PortDialogProc(KivoHWnd dialog, uint32_t message, WParam first, LParam second) {
    if (message == WmInitDialog) {
        gChosen = reinterpret_cast<int32_t*>(second);
        return 1;
    }
    if (message != WmCommand) return 0;
    int id = LoWord(first);
    if (id >= 1000 && id <= 1002) {
        *gChosen = id - 999;
        ShowWindow(dialog, SwHide);
        EndDialog(dialog, 1);
        return 1;
    }
    if (id == IdCancel) {
        ShowWindow(dialog, SwHide);
        EndDialog(dialog, 0);
        return 1;
    }
    return 0;
}

int AnswerPortTwo(const MessageBoxRecord&, void*) {
    return 1001;
}

// A person at an interactive display, acting out one step each time the loop waits.
class ScriptedDisplay : public Display {
  public:
    bool WaitForInput(int) override {
        if (steps.empty()) return false;
        auto step = steps.front();
        steps.pop_front();
        step();
        return true;
    }
    bool IsInteractive() const override { return true; }

    std::deque<std::function<void()>> steps;
};

class WindowDialogTest : public ::testing::Test {
  protected:
    ~WindowDialogTest() override {
        InstallDisplay(nullptr);
        InstallMessageBoxResponder(nullptr, nullptr);
        ClearShownMessageBoxes();
    }

    test::WindowSession session;
    ScriptedDisplay person;
};

TEST_F(WindowDialogTest, HeadlessTheResponderPressesAControlAndOtherwiseCancels) {
    int32_t port = 1;
    InstallMessageBoxResponder(AnswerPortTwo, nullptr);
    ClearShownMessageBoxes();
    EXPECT_EQ(
        DialogBoxIndirect(PortDialog(), nullptr, PortDialogProc, reinterpret_cast<LParam>(&port)),
        1);
    EXPECT_EQ(port, 2);
    ASSERT_EQ(ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(ShownMessageBoxes()[0].caption, "Kivoly hardware not found!");
    EXPECT_NE(ShownMessageBoxes()[0].text.find("does not appear to be connected"),
              std::string::npos);

    // The default responder answers OK, which this dialog has no control for: Cancel follows.
    InstallMessageBoxResponder(nullptr, nullptr);
    port = 1;
    EXPECT_EQ(
        DialogBoxIndirect(PortDialog(), nullptr, PortDialogProc, reinterpret_cast<LParam>(&port)),
        0);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(WindowFromPoint({512, 384}), GetDesktopWindow());
}

TEST_F(WindowDialogTest, APersonPicksByMnemonicEscapeOrClickWhileTheOwnerIsDisabled) {
    InstallDisplay(&person);
    RegisterClass({"Owner", DefWindowProc});
    KivoHWnd owner = CreateWindow(0, "Owner", "Owner", WsPopup | WsVisible, 0, 0, 1024, 768,
                                  nullptr, 0, nullptr);
    int32_t port = 1;
    person.steps.push_back([owner] {
        EXPECT_FALSE(IsWindowEnabled(owner));
        InjectKeyPress('3');
    });
    EXPECT_EQ(
        DialogBoxIndirect(PortDialog(), owner, PortDialogProc, reinterpret_cast<LParam>(&port)), 1);
    EXPECT_EQ(port, 3);
    EXPECT_TRUE(IsWindowEnabled(owner));

    person.steps.push_back([] { InjectKeyPress(VkEscape); });
    EXPECT_EQ(
        DialogBoxIndirect(PortDialog(), owner, PortDialogProc, reinterpret_cast<LParam>(&port)), 0);

    // Clicking "Port 2": 72 + 25 dialog units across, 74 + 7 down, from the client corner.
    person.steps.push_back([] {
        KivoHWnd dialog = GetActiveWindow();
        if (const char* picture = std::getenv("KIVOLY_SAVE_SCREEN")) SaveScreenPng(picture);
        Rect centre = DialogUnitsToPixels({97, 81, 97, 81});
        InjectClick(test::ScreenPoint(dialog, centre.left, centre.top));
    });
    EXPECT_EQ(
        DialogBoxIndirect(PortDialog(), owner, PortDialogProc, reinterpret_cast<LParam>(&port)), 1);
    EXPECT_EQ(port, 2);
    EXPECT_TRUE(person.steps.empty());
}

TEST_F(WindowDialogTest, MessageBoxWindowAnswersWithTheButtonPressed) {
    InstallDisplay(&person);
    person.steps.push_back([] {
        KivoHWnd box = GetActiveWindow();
        KivoHWnd no = GetDlgItem(box, IdNo);
        Rect r;
        GetWindowRect(no, r);
        EXPECT_EQ(GetWindowText(box), "Abort Requested");
        InjectClick({r.left + 5, r.top + 5});
    });
    EXPECT_EQ(RunMessageBoxWindow(nullptr, "Abort Processing?", "Abort Requested",
                                  MbYesNo | MbIconQuestion),
              IdNo);
    person.steps.push_back([] { InjectKeyPress(VkReturn); });
    EXPECT_EQ(RunMessageBoxWindow(nullptr, "Done", "Kivoly", MbOkCancel), IdOk);
    person.steps.push_back([] { InjectKeyPress(VkEscape); });
    EXPECT_EQ(RunMessageBoxWindow(nullptr, "Done", "Kivoly", MbOkCancel), IdCancel);
}

// Message boxes show tabs as indentation (the version box has them), never as a glyph.
TEST(WrapText, TabsIndentAndWordsWrap) {
    DeviceContext dc(Screen());
    EXPECT_EQ(WrapText(dc, "Video Mode:\n\tNot Paletted", 400),
              (std::vector<std::string>{"Video Mode:", "    Not Paletted"}));
    EXPECT_EQ(WrapText(dc, "one two three", 6 * 8), (std::vector<std::string>{"one two", "three"}));
}

}  // namespace
}  // namespace kivoly::platform
