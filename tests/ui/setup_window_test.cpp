// The setup window in the main window's setup mode: its items chosen with the mouse and the
// keyboard, the marks that show the choices, and Save Settings.
#include "ui/internal/setup_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/window.h"
#include "ui/commands.h"
#include "ui/internal/process_panel.h"
#include "ui_session.h"

namespace kivoly::ui {
namespace {

using namespace platform;

class SetupWindowTest : public ::testing::Test {
  protected:
    SetupWindowTest() {
        KivoGrabInfo grab;
        KivoGetGrabInfo(ui.handle, &grab);
        grab.CameraInput = 1, grab.Quality = 3, grab.UseColor = 1, grab.Negative = 0;
        grab.TerminateVideo = 1;
        KivoSetGrabInfo(ui.handle, &grab);
        KivoProcessInfo process;
        KivoGetProcessInfo(ui.handle, &process);
        process.Width = 320, process.Height = 240;
        KivoSetProcessInfo(ui.handle, &process);
        EXPECT_NE(ui.Make(), nullptr);
        ui.Press('E');
    }

    SetupWindow& Window() { return *ui.main().Setup(); }
    const KivoGrabInfo& Grab() { return ui.grabber().GrabInfo(); }
    Point ItemPoint(int item) {
        const Rect rect = SetupWindow::ItemRect(item);
        return test::ScreenPoint(Window().hwnd, rect.left + 16, rect.top + 10);
    }
    void ExpectShows(const std::string& golden) { ui.ExpectShows(golden, {}, Window().hwnd); }

    test::UiSession ui;
};

TEST_F(SetupWindowTest, ChoosingItemsWritesTheRecordsWithTheirCouplings) {
    ExpectShows("setup-start");
    InjectClick(ItemPoint(120));  // Tape: the finest quality needs a camera
    ui.Pump();
    EXPECT_EQ(Grab().CameraInput, 0);
    EXPECT_EQ(Grab().Quality, 2);
    ExpectShows("setup-tape");

    for (int item : {124, 128, 130, 132, 135})
        InjectClick(ItemPoint(item));
    ui.Pump();
    EXPECT_EQ(Grab().Quality, 3);
    EXPECT_EQ(Grab().CameraInput, 1);  // the finest quality brings the camera back
    EXPECT_EQ(ui.grabber().CommittedProcessInfo().Height, 480);
    EXPECT_EQ(GetFocus(), ui.window);
    ExpectShows("setup-chosen");  // the marks of the records' choices

    Window().HandleCommand(kCmdSetupItem);  // V toggles the termination
    EXPECT_EQ(Grab().TerminateVideo, 1);

    // The chosen size survives a change of the adjustments.
    Window().HandleCommand(133);
    ui.main().Panel()->HandleCommand(kCmdNext);
    ui.main().Panel()->HandleCommand(kCmdUp);
    EXPECT_EQ(ui.grabber().CommittedProcessInfo().Color, 1);
    EXPECT_EQ(ui.grabber().CommittedProcessInfo().Height, 1125);
}

TEST_F(SetupWindowTest, HoldingTheButtonPreviewsAndReleasingOutsideChangesNothing) {
    const KivoGrabInfo before = Grab();
    const Point tape = ItemPoint(120);
    ui.Button(true, tape);
    ExpectShows("setup-tape");  // the marks show what choosing Tape would give
    EXPECT_EQ(Grab().Quality, 3);

    const Point outside{tape.x + 200, tape.y};
    InjectMouseMove(outside);
    ui.Button(false, outside);
    EXPECT_EQ(std::memcmp(&before, &Grab(), sizeof before), 0);
    ExpectShows("setup-start");
    EXPECT_EQ(GetCapture(), nullptr);

    // Save Settings shows its pressed image while held and saves on release.
    const Point save = ItemPoint(SetupWindow::kSaveSettings);
    std::remove(ui.folder.File("Kivoly.ini").c_str());
    ui.Button(true, save);
    ui.ExpectShows(test::MemberGolden(kSaveSettingsPressed), {401, 179, 517, 207}, Window().hwnd);
    EXPECT_EQ(ui.folder.ReadFile("Kivoly.ini"), "");
    ui.Button(false, save);
    ExpectShows("setup-start");
    EXPECT_NE(ui.folder.ReadFile("Kivoly.ini").find("Quality=3"), std::string::npos);
}

TEST_F(SetupWindowTest, KeyboardMovesStayInTheGroupAndEnterGroupsAtTheirChoice) {
    auto cursorAt = [](Point expected) {
        Point cursor;
        GetCursorPos(cursor);
        EXPECT_EQ(cursor, expected);
    };
    SetCursorPos(0, 0);                // over no item
    Window().HandleCommand(kCmdNext);  // into the input group, at its chosen item
    cursorAt(ItemPoint(119));
    Window().HandleCommand(kCmdUp);  // Up from the first item: nothing
    cursorAt(ItemPoint(119));

    Window().HandleCommand(kCmdDown);  // Down chooses Tape
    EXPECT_EQ(Grab().CameraInput, 0);
    EXPECT_EQ(Grab().Quality, 2);
    Window().HandleCommand(kCmdDown);  // Down from the last item of the group: nothing
    cursorAt(ItemPoint(120));
    EXPECT_EQ(Grab().CameraInput, 0);
    Window().HandleCommand(kCmdUp);  // and Up back to the first
    EXPECT_EQ(Grab().CameraInput, 1);

    Window().HandleCommand(kCmdNext);  // the quality group at its chosen item (70 ns)
    cursorAt(ItemPoint(123));
    Window().HandleCommand(kCmdDown);
    EXPECT_EQ(Grab().Quality, 3);
    EXPECT_EQ(Grab().CameraInput, 1);

    Window().HandleCommand(kCmdPrevious);
    Window().HandleCommand(kCmdPrevious);  // back past the input group to the video group
    cursorAt(ItemPoint(134));
}

// The words a person reads on the setup panel choose what they say: "New Window" is the choice
// stored as KivoToNewWindow=True, which the program takes as a new window for every picture.
TEST_F(SetupWindowTest, TheWindowLabelsOfTheSkinChooseWhatTheySay) {
    std::ifstream file(std::string(KIVOLY_SOURCE_TEST_DATA) + "/../../skin/setup_panel.svg");
    ASSERT_TRUE(file);
    const std::string svg{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    for (const auto& [label, option] :
         {std::pair{"New Window", 1}, std::pair{"Current Window", 0}}) {
        // The label's text element, <text x="X" y="Y">LABEL</text>.
        const std::size_t end = svg.find(std::string("\">") + label + "</text>");
        ASSERT_NE(end, std::string::npos) << label;
        const std::size_t start = svg.rfind("<text x=\"", end);
        int x = 0, y = 0;
        ASSERT_EQ(std::sscanf(svg.c_str() + start, "<text x=\"%d\" y=\"%d\">", &x, &y), 2) << label;
        // A click on the middle of the word's first letters, just above its baseline.
        ui.grabber().SetWindowOption(1 - option);
        InjectClick(test::ScreenPoint(Window().hwnd, x + 8, y - 5));
        ui.Pump();
        EXPECT_EQ(ui.grabber().WindowOption(), option) << label;
    }
}

}  // namespace
}  // namespace kivoly::ui
