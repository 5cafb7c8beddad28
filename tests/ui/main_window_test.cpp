// The main window as a person uses it: made from the skin, switched between its modes, and
// driven with the mouse and the keyboard on the headless display.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>

#include "capture/video_source.h"
#include "output/packed_dib.h"
#include "output/skin_archive.h"
#include "platform/clock.h"
#include "platform/global_memory.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/timers.h"
#include "platform/window/window.h"
#include "support/grabber_probe.h"
#include "support/scoped_variable.h"
#include "ui/internal/capture_button.h"
#include "ui_session.h"

namespace kivoly {
namespace {

using namespace platform;
constexpr Rect kCaptureButton{6, 211, 101, 247};
using test::UiSession;
using ui::Mode;

// The host's callbacks take no arguments: they reach their test through this.
std::function<void()> gHostCall;
int32_t CallHost() {
    if (gHostCall) gHostCall();
    return 0;
}

// Runs while the live preview does (which returns only when it ends): a window's timer, fired
// from the preview's message pump, counts the ticks at which the pane shows a finished frame.
std::function<void(int)> gDuringPreview;
KivoHWnd gPane = nullptr;
int gTicks = 0;
LResult ObserverProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmTimer) {
        if (IsWindowVisible(gPane)) gDuringPreview(++gTicks);
        return 0;
    }
    return DefWindowProc(window, message, first, second);
}
KivoHWnd MakeWindow() {
    RegisterClass({"PreviewObserver", &ObserverProc});
    return CreateWindow(0, "PreviewObserver", "", WsPopup, 0, 0, 1, 1, nullptr, 0, nullptr);
}
void StartObserver(KivoHWnd pane, std::function<void(int)> duringPreview) {
    gPane = pane;
    gTicks = 0;
    gDuringPreview = std::move(duringPreview);
    SetTimer(MakeWindow(), 1, 200);
}

class MainWindowTest : public ::testing::Test {
  protected:
    ~MainWindowTest() override {
        gHostCall = nullptr;
        gDuringPreview = nullptr;
    }
    void Host(int kind, std::function<void()> call) {
        gHostCall = std::move(call);
        KivoSetCallback(ui.handle, kind, &CallHost);
    }
    UiSession ui;
};

TEST_F(MainWindowTest, EveryModeShowsItsPanels) {
    ASSERT_NE(ui.Make(), nullptr);
    ui.ExpectShows("main-plain");

    // A button shows its pressed look while held; Adjust brings the adjustment panel, the
    // button drawn pressed.
    const Point adjust = test::ScreenPoint(ui.window, 189 + 44, 219 + 8);
    ui.Button(true, adjust);
    ui.ExpectShows(test::MemberGolden(ui::kAdjustPressed), {189, 211, 277, 247});
    ui.Button(false, adjust);
    ui.ExpectShows("main-adjust");

    // The setup window, still there after the window was hidden and shown again (as a picture
    // shown full-screen does to it).
    ui.Press('E');
    ShowWindow(ui.window, SwHide);
    ShowWindow(ui.window, SwShow);
    ui.Pump();
    ui.ExpectShows("main-setup");

    // The caption's restore: only the strip, its buttons moved with it.
    SendMessage(ui.window, WmSysCommand, ScRestore, 0);
    ui.Pump();
    ui.ExpectShows("main-compact");

    SendMessage(ui.window, WmSysCommand, ScMaximize, 0);
    ui.Pump();
    ui.ExpectShows("main-plain");
    // Restored by the system, the window keeps the full size at its place.
    Rect full;
    GetWindowRect(ui.window, full);
    WindowPlacement placement;
    GetWindowPlacement(ui.window, placement);
    EXPECT_EQ(placement.normalPosition, full);
}

TEST_F(MainWindowTest, PreviewShowsFramesAndPressingPreviewAgainRestartsIt) {
    ASSERT_NE(ui.Make(), nullptr);
    int stateAtSecondTick = -1;
    StartObserver(ui.main().PreviewPane(), [&](int tick) {
        if (tick == 1) {
            ui.ExpectShows(test::MemberGolden(ui::kPreviewPressed), {101, 211, 189, 247});
            // Entries of the device's grey ramp that are nearly black (1 and 2) are shown as a
            // dark grey, not taken for the display's reserved black.
            const uint8_t* table =
                reinterpret_cast<const uint8_t*>(LockDib(ui.grabber().PreviewBitmap())) + 40;
            for (int i = 0; i < 256; ++i)
                EXPECT_TRUE(table[4 * i + 2] == 0 || table[4 * i + 2] >= 3) << i;
            EXPECT_EQ(table[4 * 65 + 2], 3);  // the ramp's 1
            GlobalUnlock(ui.grabber().PreviewBitmap());
            InjectKeyPress('P');  // taken by the running preview, carried out after it
        } else {
            stateAtSecondTick = ui.grabber().PreviewState();
            KivoStopPreviewing(ui.handle);
        }
    });
    ui.Press('P');
    EXPECT_EQ(gTicks, 2);
    EXPECT_EQ(stateAtSecondTick, 1);  // a second preview was running
    EXPECT_EQ(ui.main().CurrentMode(), Mode::Preview);
    EXPECT_EQ(KivoGetStatus(ui.handle), 0);
}

TEST_F(MainWindowTest, LowBatteryLightsItsLampAndPlaysItsSound) {
    ui.folder.WriteFile("Kivoly.ini", "[Sound]\nLowBatterySound=Battery\n");
    sim::SimulatedFaults faults;
    faults.lowBattery = true;
    ui.rig.device.SetFaults(faults);
    ClearRecordedSounds();
    ASSERT_NE(ui.Make(), nullptr);
    StartObserver(ui.main().PreviewPane(), [&](int tick) {
        if (tick < 3) return;  // the device answers from its cache in the first frame
        ui.Pump();
        ui.ExpectShows(test::MemberGolden(ui::kLowBattery), {162, 161, 186, 177});
        KivoStopPreviewing(ui.handle);
    });
    ui.Press('P');
    EXPECT_EQ(gTicks, 3);
    std::vector<std::string> plays;  // once, as the lamp lights
    for (const SoundEvent& event : RecordedSounds())
        if (event.kind == SoundEvent::Play) plays.push_back(event.name);
    EXPECT_EQ(plays, std::vector<std::string>{"Battery"});
}

TEST_F(MainWindowTest, AnIdlePreviewEndsAfterAMinuteAndAMouseMoveStartsItAgain) {
    ASSERT_NE(ui.Make(), nullptr);
    int previews = 0;
    bool idle = false;  // the clock has been moved on: the first preview is to end by itself
    StartObserver(ui.main().PreviewPane(), [&](int) {
        if (idle || ui.grabber().PreviewState() != 1) return;
        if (++previews == 1) {
            ui.rig.clock.AdvanceUs(int64_t{61} * 1000 * 1000);  // a minute without the mouse
            idle = true;
        } else {
            KivoStopPreviewing(ui.handle);
        }
    });
    InjectMouseMove(test::ScreenPoint(ui.window, 200, 100));  // outside the preview mode: nothing
    ui.Pump();
    ASSERT_EQ(previews, 0);
    ui.Press('P');
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(ui.main().CurrentMode(), Mode::Preview);
    EXPECT_EQ(KivoGetStatus(ui.handle), 0);
    // The mouse over the window again: the preview comes back.
    idle = false;
    InjectMouseMove(test::ScreenPoint(ui.window, 200, 100));
    ui.Pump();
    EXPECT_EQ(previews, 2);
}

// A device that never reports video ready: the capture must not wait for it for ever.
class NeverReady : public VideoSource {
  public:
    void Read(uint8_t*, uint16_t) override {}
    bool AcquireField() override { return false; }
    bool Power(int32_t) override { return true; }
    bool IsReady() override { return false; }
};

TEST_F(MainWindowTest, HoldingTheCaptureButtonWaitsForVideoAndReleasingCapturesButNotForEver) {
    ASSERT_NE(ui.Make(), nullptr);
    int captures = 0;
    KivoHGlobal picture = nullptr;
    Host(KivoCallbackCapture, [&] {
        ++captures;
        EXPECT_EQ(KivoGetStatus(ui.handle), KivoStatusVideoOn);
        picture = KivoScanAndProcess(ui.handle, nullptr);
    });
    const Point button = test::ScreenPoint(ui.window, 18 + 30, 219 + 8);
    ui.Button(true, button);
    ui::CaptureButton& capture = *ui.main().Capture();
    EXPECT_EQ(KivoGetStatus(ui.handle), KivoStatusVideoOn);
    EXPECT_EQ(capture.GetState(), ui::CaptureButton::kWaiting);
    ui.ExpectShows(test::MemberGolden(ui::kCaptureWaiting), kCaptureButton);
    // The device locks onto the video; the button's timer notices.
    for (int i = 0; i < 50 && capture.GetState() != ui::CaptureButton::kReady; ++i) {
        ui.rig.clock.AdvanceUs(20 * 1000);
        ui.Pump();
    }
    ui.ExpectShows(test::MemberGolden(ui::kCaptureReady), kCaptureButton);
    EXPECT_EQ(captures, 0);
    ui.Button(false, button);
    EXPECT_EQ(captures, 1);
    ASSERT_NE(picture, nullptr);
    KivoFreeDib(picture);
    // Released afterwards, the device off again; Space captures alike, showing Ready meanwhile.
    ui.ExpectShows("button-capture-released", kCaptureButton);
    EXPECT_EQ(KivoGetStatus(ui.handle), 0);
    Host(KivoCallbackCapture, [&] {
        ui.ExpectShows(test::MemberGolden(ui::kCaptureReady), kCaptureButton);
        ++captures;
    });
    ui.Press(VkSpace);
    EXPECT_EQ(captures, 2);
    EXPECT_EQ(capture.GetState(), ui::CaptureButton::kReleased);

    // A device that never gets ready: the capture gives up waiting and says why it failed.
    test::GrabberProbe::Hold(ui.grabber(), new NeverReady, nullptr, KivoStatusVideoOn);
    Host(KivoCallbackCapture, [&] { ++captures; });
    const int32_t before = NowMs();
    ui.Press(VkSpace);
    EXPECT_EQ(captures, 3);
    EXPECT_GE(NowMs() - before, 5000);
}

TEST_F(MainWindowTest, CloseOnlyHidesWhenTheHostTakesItAndAHostMayDestroyFromItsCallbacks) {
    ASSERT_NE(ui.Make(), nullptr);
    int closes = 0;
    Host(KivoCallbackClose, [&] { ++closes; });
    SendMessage(ui.window, WmSysCommand, ScClose, 0);
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(IsWindow(ui.window));
    EXPECT_FALSE(IsWindowVisible(ui.window));
    Message message;
    EXPECT_FALSE(PeekMessage(message, nullptr, WmQuit, WmQuit, PmNoRemove));

    // Without the host's callback the window goes and the loop is told to end; the object
    // stays with the Grabber until it is freed, and a new window can be made.
    KivoSetCallback(ui.handle, KivoCallbackClose, nullptr);
    ShowWindow(ui.window, SwShow);
    SendMessage(ui.window, WmClose, 0, 0);
    EXPECT_FALSE(IsWindow(ui.window));
    EXPECT_EQ(ui.grabber().MainWindow(), nullptr);
    EXPECT_TRUE(PeekMessage(message, nullptr, WmQuit, WmQuit, PmRemove));

    // A host may destroy the window from the capture callback, though its capture code is
    // running.
    ASSERT_NE(ui.Make(), nullptr);
    Host(KivoCallbackCapture, [&] { KivoDestroyUI(ui.handle); });
    ui.Press(VkSpace);
    EXPECT_EQ(ui.grabber().Interface(), nullptr);
    EXPECT_FALSE(IsWindow(ui.window));
    EXPECT_TRUE(GetChildren(GetDesktopWindow()).empty());

    // From the close callback: window and Grabber both, as a host ending there would.
    ASSERT_NE(ui.Make(), nullptr);
    KivoGrabber* handle = ui.handle;
    Host(KivoCallbackClose, [&] {
        KivoDestroyUI(handle);
        KivoFree(handle);
    });
    KivoMessage close{ui.window, WmClose, 0, 0, 0, 0, 0};
    EXPECT_EQ(KivoProcessWindowsMsg(handle, &close), 1);
    ui.handle = nullptr;                  // freed by the host
    EXPECT_EQ(KivoGetStatus(handle), 0);  // a freed handle is refused
    EXPECT_TRUE(GetChildren(GetDesktopWindow()).empty());
}

// The first member is the one a window cannot do without: a skin that ends after it still
// works through every mode, one that is missing or cut inside it makes no window.
TEST_F(MainWindowTest, ASkinMakesAWindowOnlyWithItsFirstMemberWhole) {
    std::ifstream whole(KIVOLY_SKIN_ARCHIVE_PATH, std::ios::binary);
    std::vector<char> bytes(1 << 20);
    whole.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    uint32_t firstSize = 0;  // bfSize; two bytes of trailer follow each member
    std::memcpy(&firstSize, bytes.data() + 2, 4);
    const std::string archive = ui.folder.File("Kivoly.d8a");
    SetSkinArchiveOverride(archive.c_str());
    for (const std::size_t kept : {std::size_t{0}, std::size_t{4000}}) {
        if (kept) std::ofstream(archive, std::ios::binary).write(bytes.data(), kept);
        EXPECT_EQ(KivoMakeUI(ui.handle, nullptr, SwShow), nullptr) << kept;
        EXPECT_TRUE(GetChildren(GetDesktopWindow()).empty());
    }
    std::ofstream(archive, std::ios::binary).write(bytes.data(), firstSize + 2);
    ASSERT_NE(ui.Make(), nullptr);
    StartObserver(ui.main().PreviewPane(), [&](int) { KivoStopPreviewing(ui.handle); });
    for (const int key : {int{'A'}, int{'E'}, int{'P'}, int{VkSpace}})
        ui.Press(key);
    EXPECT_EQ(gTicks, 1);  // the preview ran
    SendMessage(ui.window, WmSysCommand, ScRestore, 0);
    ui.Pump();
    EXPECT_EQ(ui.main().CurrentMode(), Mode::Compact);
}

TEST_F(MainWindowTest, OnlyOwnMessagesAreTakenHelpSaysWhyNotAndShiftShowsTheVersion) {
    ASSERT_NE(ui.Make(), nullptr);
    // Only the window's own messages are taken.
    KivoMessage foreign{MakeWindow(), WmKeyDown, 'A', 0, 0, 0, 0};
    EXPECT_EQ(KivoProcessWindowsMsg(ui.handle, &foreign), 0);
    EXPECT_EQ(ui.main().CurrentMode(), Mode::Plain);
    KivoMessage own{ui.main().Button(ui::kHelpButtonId), WmKeyDown, 'A', 0, 0, 0, 0};
    EXPECT_EQ(KivoProcessWindowsMsg(ui.handle, &own), 1);
    EXPECT_EQ(ui.main().CurrentMode(), Mode::Adjust);
    EXPECT_EQ(KivoProcessWindowsMsg(nullptr, &own), 0);

    // The box says why: an opener that cannot be started, or one that reports failure.
    for (const auto& [opener, why] :
         {std::pair{"/nonexistent/opener", "cannot start /nonexistent/opener: No such file"},
          std::pair{"false", "false failed with status 1"}, std::pair{"true", ""}}) {
        ClearShownMessageBoxes();
        const test::ScopedVariable openWith("KIVOLY_OPENER", opener);
        ui.Press(VkF1);
        ASSERT_EQ(ShownMessageBoxes().size(), *why ? 1u : 0u) << opener;
        if (!*why) continue;
        const std::string& text = ShownMessageBoxes()[0].text;
        EXPECT_TRUE(text.find("user guide") != std::string::npos &&
                    text.find(why) != std::string::npos)
            << text;
    }

    InjectKey(VkShift, true);
    ui.Press(VkF1);
    InjectKey(VkShift, false);
    ASSERT_EQ(ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(ShownMessageBoxes()[0].text,
              "Version 1.1.0.2 for NTSC Video\n\nVideo Mode:\n\tNot Paletted\n\t16777216 Colors\n");
}

TEST_F(MainWindowTest, SaveAppearsWithAPictureWhenTheHostCanSave) {
    ASSERT_NE(ui.Make(), nullptr);
    KivoHWnd save = ui.main().Button(ui::kSaveButtonId);
    KivoSetPic(ui.handle, "one", nullptr, 1);
    EXPECT_FALSE(IsWindowVisible(save));  // nobody to save it
    int saves = 0;
    Host(KivoCallbackSave, [&] { ++saves; });
    KivoSetPic(ui.handle, "two", nullptr, 1);
    ui.Pump();
    EXPECT_TRUE(IsWindowVisible(save));
    EXPECT_EQ(GetWindowText(ui.window), "Kivoly - two");
    ui.ExpectShows(test::MemberGolden(ui::kSaveReleased), {277, 211, 365, 247});
    InjectClick(test::ScreenPoint(ui.window, 282 + 30, 219 + 8));
    ui.Pump();
    EXPECT_EQ(saves, 1);
    const std::string longTitle(500, 'x');  // cut to fit the caption, never overflowing it
    KivoSetPic(ui.handle, longTitle.c_str(), nullptr, 1);
    EXPECT_EQ(GetWindowText(ui.window).rfind("Kivoly - xxx", 0), 0u);
    KivoSetPic(ui.handle, nullptr, nullptr, 0);
    ui.Pump();
    EXPECT_FALSE(IsWindowVisible(save));
    EXPECT_EQ(GetWindowText(ui.window), "Kivoly");
}

}  // namespace
}  // namespace kivoly
