#include "ui/setup_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"
#include "ui/panel_test_skin.h"
#include "ui/process_panel.h"

namespace kivoly::ui {
namespace {

using namespace platform;
using test::PanelTestSkin;

std::vector<int> gMainCommands;
LResult MainProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmCommand) gMainCommands.push_back(LoWord(first));
    return DefWindowProc(window, message, first, second);
}

class SetupWindowTest : public ::testing::Test {
  protected:
    SetupWindowTest() {
        gMainCommands.clear();
        RegisterClass({"SetupTestMain", MainProc});
        main = CreateWindow(0, "SetupTestMain", "Kivoly", WsPopup | WsVisible, 100, 100, 540, 240,
                            nullptr, 0, nullptr);
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
    bool MarkShown(int item) {
        const Rect rect = SetupWindow::ItemRect(item);
        const uint32_t pixel = test::ClientPixel(setup->hwnd, rect.left + 3, rect.top + 3);
        if (pixel == PanelTestSkin::FlatColour(kSetupMark)) return true;
        EXPECT_EQ(pixel,
                  PanelTestSkin::BackgroundColour(kSetupBackground, rect.left + 3, rect.top + 3))
            << item;
        return false;
    }
    // The marked items, in item order.
    std::vector<int> Marks() {
        std::vector<int> marked;
        for (int item = SetupWindow::kFirstItem; item <= SetupWindow::kLastChoice; ++item) {
            if (MarkShown(item)) marked.push_back(item);
        }
        return marked;
    }
    void SaveScreen(const char* name) {
        if (const char* folder = std::getenv("KIVOLY_SCREEN_DIR")) {
            SaveScreenPng((std::string(folder) + "/" + name + ".png").c_str());
        }
    }

    test::TempSettingsFolder folder;
    test::WindowSession session;
    PanelTestSkin skin;
    KivoHWnd main = nullptr;
    std::unique_ptr<Grabber> grabber;
    std::unique_ptr<SetupWindow> setup;
};

TEST_F(SetupWindowTest, ChoosingItemsWritesTheRecordsWithTheirCouplings) {
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 125, 129, 131, 134}));
    SaveScreen("setup_window");

    InjectClick(ItemPoint(120));  // Tape: the finest quality needs a camera
    test::PumpMessages();
    EXPECT_EQ(grabber->grabInfo.CameraInput, 0);
    EXPECT_EQ(grabber->grabInfo.Quality, 2);
    EXPECT_EQ(Marks(), (std::vector<int>{120, 123, 125, 129, 131, 134}));

    InjectClick(ItemPoint(124));  // and the finest quality brings the camera back
    InjectClick(ItemPoint(128));
    InjectClick(ItemPoint(130));
    InjectClick(ItemPoint(135));
    test::PumpMessages();
    EXPECT_EQ(grabber->grabInfo.Quality, 3);
    EXPECT_EQ(grabber->grabInfo.CameraInput, 1);
    EXPECT_EQ(grabber->grabInfo.Negative, 1);
    EXPECT_EQ(grabber->grabInfo.UseColor, 0);
    EXPECT_EQ(grabber->grabInfo.TerminateVideo, 0);
    EXPECT_EQ(grabber->windowOption, 1);
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 128, 130, 131, 135}));
    EXPECT_EQ(GetFocus(), main);

    setup->HandleCommand(4);  // V toggles the termination
    EXPECT_EQ(grabber->grabInfo.TerminateVideo, 1);
    EXPECT_TRUE(MarkShown(134));
    EXPECT_FALSE(MarkShown(135));
}

TEST_F(SetupWindowTest, HoldingTheButtonPreviewsAndReleasingOutsideChangesNothing) {
    const KivoGrabInfo before = grabber->grabInfo;
    const Point tape = ItemPoint(120);
    InjectMouseButton(VkLButton, true, tape);
    test::PumpMessages();
    // While held over Tape, the marks show what choosing it would give.
    EXPECT_TRUE(MarkShown(120));
    EXPECT_TRUE(MarkShown(123));
    EXPECT_FALSE(MarkShown(124));
    EXPECT_EQ(grabber->grabInfo.Quality, 3);

    const Point outside{tape.x + 200, tape.y};
    InjectMouseMove(outside);
    test::PumpMessages();
    EXPECT_TRUE(MarkShown(119));
    EXPECT_TRUE(MarkShown(124));
    InjectMouseButton(VkLButton, false, outside);
    test::PumpMessages();
    EXPECT_EQ(std::memcmp(&before, &grabber->grabInfo, sizeof before), 0);
    EXPECT_EQ(Marks(), (std::vector<int>{119, 124, 125, 129, 131, 134}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SetupWindowTest, SaveSettingsShowsItsPressedImageAndAsksTheMainWindow) {
    const Point save = ItemPoint(136);
    InjectMouseButton(VkLButton, true, save);
    test::PumpMessages();
    EXPECT_EQ(test::ClientPixel(setup->hwnd, 401 + 2, 179 + 2),
              PanelTestSkin::FlatColour(kSaveSettingsPressed));
    InjectMouseButton(VkLButton, false, save);
    test::PumpMessages();
    EXPECT_EQ(test::ClientPixel(setup->hwnd, 401 + 2, 179 + 2),
              PanelTestSkin::BackgroundColour(kSetupBackground, 403, 181));
    EXPECT_EQ(gMainCommands, std::vector<int>{11});
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
    EXPECT_EQ(grabber->grabInfo.CameraInput, 0);
    GetCursorPos(cursor);
    EXPECT_EQ(cursor, ItemPoint(120));

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
    EXPECT_EQ(grabber->committedProcessInfo.Width, 1500);
    EXPECT_EQ(grabber->committedProcessInfo.Height, 1125);
    panel.HandleCommand(16);
    panel.HandleCommand(14);
    EXPECT_EQ(grabber->committedProcessInfo.Color, 1);
    EXPECT_EQ(grabber->committedProcessInfo.Width, 1500);
    EXPECT_EQ(grabber->committedProcessInfo.Height, 1125);
    EXPECT_TRUE(MarkShown(133));
}

}  // namespace
}  // namespace kivoly::ui
