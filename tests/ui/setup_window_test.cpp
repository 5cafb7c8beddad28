#include "ui/internal/setup_window.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"
#include "ui/internal/process_panel.h"
#include "ui/panel_test_skin.h"

namespace kivoly::ui {
namespace {

using namespace platform;

class SetupWindowTest : public ::testing::Test {
  protected:
    SetupWindowTest() {
        main = test::CreateTestMainWindow();
        grabber = std::make_unique<Grabber>();
        grabber->mainWindow = main;
        KivoGrabInfo info = grabber->grabInfo;
        info.CameraInput = 1, info.Quality = 3, info.UseColor = 1, info.Negative = 0;
        info.TerminateVideo = 1;
        grabber->SetGrabInfo(info);
        KivoProcessInfo process = grabber->processInfo;
        process.Width = 320, process.Height = 240;
        grabber->SetProcessInfo(process);
        setup = std::make_unique<SetupWindow>(*grabber, main, skin.Members());
        ShowWindow(setup->hwnd, SwShow);
        test::PumpMessages();
    }

    Point ItemPoint(int item) {
        const Rect rect = SetupWindow::ItemRect(item);
        return test::ScreenPoint(setup->hwnd, rect.left + 16, rect.top + 10);
    }
    // The items whose corner shows the mark; every other corner must show the background.
    std::vector<int> Marks() {
        std::vector<int> marked;
        for (int item = SetupWindow::kFirstItem; item <= SetupWindow::kLastChoice; ++item) {
            const Rect rect = SetupWindow::ItemRect(item);
            if (skin.Shows(setup->hwnd, {rect.left, rect.top}, kSetupMark)) {
                marked.push_back(item);
            } else {
                EXPECT_TRUE(skin.ShowsPart(setup->hwnd, kSetupBackground,
                                           {rect.left, rect.top, rect.left + 16, rect.top + 16}))
                    << item;
            }
        }
        return marked;
    }

    test::TempSettingsFolder folder;
    test::WindowSession session;
    test::BuiltSkin skin;
    KivoHWnd main = nullptr;
    std::unique_ptr<Grabber> grabber;
    std::unique_ptr<SetupWindow> setup;
};

TEST_F(SetupWindowTest, ChoosingItemsWritesTheRecordsWithTheirCouplings) {
    ASSERT_TRUE(skin.Complete());
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 125, 129, 131, 134}));

    InjectClick(ItemPoint(120));  // Tape: the finest quality needs a camera
    test::PumpMessages();
    EXPECT_EQ(grabber->grabInfo.CameraInput, 0);
    EXPECT_EQ(grabber->grabInfo.Quality, 2);
    EXPECT_EQ(Marks(), (std::vector<int>{120, 123, 125, 129, 131, 134}));

    for (int item : {124, 128, 130, 132, 135})
        InjectClick(ItemPoint(item));
    test::PumpMessages();
    EXPECT_EQ(grabber->grabInfo.Quality, 3);
    EXPECT_EQ(grabber->grabInfo.CameraInput, 1);  // the finest quality brings the camera back
    EXPECT_EQ(grabber->grabInfo.Negative, 1);
    EXPECT_EQ(grabber->grabInfo.UseColor, 0);
    EXPECT_EQ(grabber->grabInfo.TerminateVideo, 0);
    EXPECT_EQ(grabber->windowOption, 1);
    EXPECT_EQ(grabber->committedProcessInfo.Height, 480);
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 128, 130, 132, 135}));
    EXPECT_EQ(GetFocus(), main);
    test::SaveScreen("setup_window");

    setup->HandleCommand(4);  // V toggles the termination
    EXPECT_EQ(grabber->grabInfo.TerminateVideo, 1);
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 128, 130, 132, 134}));
}

TEST_F(SetupWindowTest, HoldingTheButtonPreviewsAndReleasingOutsideChangesNothing) {
    const KivoGrabInfo before = grabber->grabInfo;
    const Point tape = ItemPoint(120);
    InjectMouseButton(VkLButton, true, tape);
    test::PumpMessages();
    // While held over Tape, the marks show what choosing it would give.
    EXPECT_EQ(Marks(), (std::vector<int>{120, 123, 125, 129, 131, 134}));
    EXPECT_EQ(grabber->grabInfo.Quality, 3);

    const Point outside{tape.x + 200, tape.y};
    InjectMouseMove(outside);
    InjectMouseButton(VkLButton, false, outside);
    test::PumpMessages();
    EXPECT_EQ(std::memcmp(&before, &grabber->grabInfo, sizeof before), 0);
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 125, 129, 131, 134}));
    EXPECT_EQ(GetCapture(), nullptr);

    // Save Settings shows its pressed image while held and asks the main window on release.
    const Point save = ItemPoint(136);
    InjectMouseButton(VkLButton, true, save);
    test::PumpMessages();
    EXPECT_TRUE(skin.Shows(setup->hwnd, {401, 179}, kSaveSettingsPressed));
    EXPECT_EQ(test::LastMainCommand(), 0);
    InjectMouseButton(VkLButton, false, save);
    test::PumpMessages();
    EXPECT_TRUE(skin.ShowsPart(setup->hwnd, kSetupBackground, {401, 179, 517, 207}));
    EXPECT_EQ(test::LastMainCommand(), 11);
}

TEST_F(SetupWindowTest, KeyboardMovesStayInTheGroupAndEnterGroupsAtTheirChoice) {
    SetCursorPos(0, 0);        // over no item
    setup->HandleCommand(16);  // into the input group, at its chosen item
    Point cursor;
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(119));
    setup->HandleCommand(14);  // Up from the first item: nothing
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(119));

    setup->HandleCommand(15);  // Down chooses Tape
    EXPECT_EQ(grabber->grabInfo.CameraInput, 0);
    EXPECT_EQ(grabber->grabInfo.Quality, 2);
    setup->HandleCommand(15);  // Down from the last item of the group: nothing
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(120));
    EXPECT_EQ(grabber->grabInfo.CameraInput, 0);

    setup->HandleCommand(16);  // the quality group at its chosen item (70 ns)
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(123));
    setup->HandleCommand(15);
    EXPECT_EQ(grabber->grabInfo.Quality, 3);
    EXPECT_EQ(grabber->grabInfo.CameraInput, 1);

    setup->HandleCommand(17);
    setup->HandleCommand(17);  // back past the input group to the video group
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(134));
}

TEST_F(SetupWindowTest, TheChosenSizeSurvivesAChangeOfTheAdjustments) {
    ProcessPanel panel(*grabber, main, skin.Members());
    setup->HandleCommand(133);
    panel.HandleCommand(16);
    panel.HandleCommand(14);
    EXPECT_EQ(grabber->committedProcessInfo.Color, 1);
    EXPECT_EQ(grabber->committedProcessInfo.Width, 1500);
    EXPECT_EQ(grabber->committedProcessInfo.Height, 1125);
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
        x += 8;
        y -= 5;
        grabber->windowOption = 1 - option;
        InjectClick(test::ScreenPoint(setup->hwnd, x, y));
        test::PumpMessages();
        EXPECT_EQ(grabber->windowOption, option) << label;
    }
}

}  // namespace
}  // namespace kivoly::ui
