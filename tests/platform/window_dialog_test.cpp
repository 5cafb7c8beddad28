// Modal dialogs from templates and message boxes on the window system: answered headless by
// the message-box responder, and by a person (a scripted one) on an interactive display.
#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "platform/internal/window/message_box_window.h"
#include "platform/internal/window/static_control.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/window/dialog.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

int32_t* gChosen = nullptr;

// Port n's button chooses port n; Cancel leaves the choice as it was.
intptr_t PortDialogProc(KivoHWnd dialog, uint32_t message, WParam first, LParam second) {
    if (message == WmInitDialog) gChosen = reinterpret_cast<int32_t*>(second);
    const int id = LoWord(first);
    if (message != WmCommand || (id != IdCancel && (id < 1000 || id > 1002))) {
        return message == WmInitDialog;
    }
    if (id != IdCancel) *gChosen = id - 999;
    ShowWindow(dialog, SwHide);
    EndDialog(dialog, id != IdCancel);
    return 1;
}

int RunPortDialog(KivoHWnd owner, int32_t& port) {
    return DialogBoxIndirect(*FindDialogTemplate(kPortDialogId), owner, PortDialogProc,
                             reinterpret_cast<LParam>(&port));
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
    ~WindowDialogTest() override { InstallDisplay(nullptr); }  // the person goes with the test
    ScriptedDisplay person;  // outlives the session, which may still draw on it
    test::WindowSession session;
};

// Headless, the responder's answer is pressed; the default one answers OK, which this dialog
// has no control for, so Cancel follows and the dialog is gone.
TEST_F(WindowDialogTest, HeadlessAnAnswerWithoutAControlCancels) {
    int32_t port = 1;
    EXPECT_EQ(RunPortDialog(nullptr, port), 0);
    EXPECT_EQ(port, 1);
    ASSERT_EQ(ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(ShownMessageBoxes()[0].caption, "Kivoly hardware not found!");
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
    EXPECT_EQ(RunPortDialog(owner, port), 1);
    EXPECT_EQ(port, 3);
    EXPECT_TRUE(IsWindowEnabled(owner));

    person.steps.push_back([] { InjectKeyPress(VkEscape); });
    EXPECT_EQ(RunPortDialog(owner, port), 0);

    // Clicking "Port 2": 72 + 25 dialog units across, 74 + 7 down, from the client corner.
    person.steps.push_back([] {
        KivoHWnd dialog = GetActiveWindow();
        Rect centre = DialogUnitsToPixels({97, 81, 97, 81});
        InjectClick(test::ScreenPoint(dialog, centre.left, centre.top));
    });
    EXPECT_EQ(RunPortDialog(owner, port), 1);
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
