// The services a host answers for, reached through host.h as a host reaches them: settings
// folder, key state, clock, message boxes, sounds, and the message loop on a headless screen.
#include "kivoly/host.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/clock.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "sim/picture_file.h"
#include "support/temp_settings_folder.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

TEST(HostServices, SettingsFolderKeysAndClock) {
    test::TempSettingsFolder scratch;
    KivolyHostSetSettingsFolder(scratch.File("elsewhere").c_str());
    ASSERT_TRUE(WriteProfileString("S", "K", "1", "Kivoly.ini"));
    EXPECT_EQ(scratch.ReadFile("elsewhere/Kivoly.ini"), "[S]\nK=1\n");
    KivolyHostSetSettingsFolder(nullptr);

    KivolyHostSetKeyDown(VkControl, 1);
    KivolyHostSetKeyDown(VkMenu, 1);
    KivolyHostSetKeyDown(VkControl, 0);
    KivolyHostSetKeyDown(256, 1);  // no such key: ignored
    EXPECT_FALSE(IsKeyDownNow(VkControl));
    EXPECT_TRUE(IsKeyDownNow(VkMenu));
    EXPECT_FALSE(IsKeyDownNow(256));
    KivolyHostReleaseAllKeys();
    EXPECT_FALSE(IsKeyDownNow(VkMenu));

    int32_t now = 123456;
    KivolyHostSetClock([](void* c) { return *static_cast<int32_t*>(c); }, &now);
    EXPECT_EQ(NowMs(), 123456);
    now = 7;
    EXPECT_EQ(KivolyHostNowMs(), 7);
    KivolyHostSetClock(nullptr, nullptr);
    EXPECT_LT(KivolyHostNowMs(), 123456);
}

TEST(HostServices, MessageBoxesAnswerWithTheDefaultButtonUnlessAResponderAnswers) {
    const struct {
        unsigned style;
        int answer;
    } defaults[] = {
        {MbYesNo | MbDefButton2, IdNo},
        {MbOkCancel | MbDefButton3, IdOk},  // no third
        {MbAbortRetryIgnore | MbDefButton3, IdIgnore},
        {0x0F, IdOk},  // unknown button set
    };
    for (const auto& c : defaults)
        EXPECT_EQ(MessageBox(nullptr, "q", "c", c.style), c.answer) << c.style;
    EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MbOk), IdOk);
    ASSERT_EQ(ShownMessageBoxes().size(), 5u);
    EXPECT_EQ(ShownMessageBoxes()[0].style, MbYesNo | MbDefButton2);
    EXPECT_EQ(ShownMessageBoxes()[4].text, "");

    static std::string seen;
    static int32_t answer = IdNo;
    KivolyHostSetMessageBoxResponder(
        [](KivoHWnd owner, const char* text, const char* caption, uint32_t style, void* context) {
            seen = std::string(text) + "|" + caption + "|" + std::to_string(style) +
                   (owner ? "|owned" : "");
            return *static_cast<int32_t*>(context);
        },
        &answer);
    auto owner = reinterpret_cast<KivoHWnd>(static_cast<uintptr_t>(0x40));
    EXPECT_EQ(MessageBox(owner, "Abort Processing?", "Abort Requested", MbYesNo), IdNo);
    EXPECT_EQ(seen, "Abort Processing?|Abort Requested|4|owned");
    EXPECT_EQ(ShownMessageBoxes().back().owner, owner);  // answered boxes are kept too
    KivolyHostSetMessageBoxResponder(nullptr, nullptr);
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MbYesNo), IdYes);
}

TEST(HostServices, SoundsGoToTheRecorderUnlessAHostPlaysThem) {
    test::TempSettingsFolder folder;
    folder.WriteFile("Chime.WAV", "RIFF");
    EXPECT_TRUE(PlaySound("chime.wav", SoundAsync | SoundNoDefault));  // any spelling
    EXPECT_FALSE(PlaySound("missing.wav", SoundAsync));
    EXPECT_TRUE(PlaySound("SystemExclamation", SoundAsync));
    EXPECT_TRUE(PlaySound("", 0));  // stops
    MessageBeep(0);
    ASSERT_EQ(RecordedSounds().size(), 5u);
    EXPECT_EQ(RecordedSounds()[0].name, "chime.wav");
    EXPECT_EQ(RecordedSounds()[0].flags, SoundAsync | SoundNoDefault);
    EXPECT_EQ(RecordedSounds()[3].kind, SoundEvent::Stop);
    EXPECT_EQ(RecordedSounds()[4].kind, SoundEvent::Beep);

    std::string log;
    KivolySoundBackend backend{
        [](const char* name, uint32_t, void* c) -> int32_t {
            *static_cast<std::string*>(c) += std::string("play ") + name + ";";
            return 1;
        },
        [](void* c) { *static_cast<std::string*>(c) += "stop;"; },
        [](uint32_t type, void* c) {
            *static_cast<std::string*>(c) += "beep " + std::to_string(type) + ";";
        },
        &log};
    KivolyHostSetSoundBackend(&backend);
    EXPECT_TRUE(PlaySound("nothing.wav", SoundLoop));
    PlaySound(nullptr, 0);
    MessageBeep(0x30);
    EXPECT_EQ(log, "play nothing.wav;stop;beep 48;");
    EXPECT_EQ(RecordedSounds().size(), 5u);
    backend.stop = nullptr;  // incomplete: the recorder takes over again
    KivolyHostSetSoundBackend(&backend);
    PlaySound("ding.wav", SoundAsync);
    EXPECT_EQ(RecordedSounds().size(), 6u);
}

int gClicks = 0;
LResult ClickProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmLButtonUp) ++gClicks;
    return DefWindowProc(window, message, first, second);
}

TEST(HostServices, AHostRunsTheLoopOnAHeadlessScreenOfItsChoice) {
    test::WindowSession session;
    EXPECT_EQ(KivolyHostUseHeadlessDisplay(-1, 10), 0);
    ASSERT_EQ(KivolyHostUseHeadlessDisplay(800, 600), 1);
    Rect desktop;
    GetClientRect(GetDesktopWindow(), desktop);
    EXPECT_EQ(desktop, (Rect{0, 0, 800, 600}));

    RegisterClass({"HostClicks", ClickProc, 0, Cursor::Arrow, ClassBackground::White});
    CreateWindow(0, "HostClicks", "", WsPopup | WsVisible, 700, 500, 50, 50, nullptr, 0, nullptr);
    gClicks = 0;
    KivolyHostInjectMouseButton(VkLButton, 1, 720, 520);
    KivolyHostInjectMouseButton(VkLButton, 0, 720, 520);
    KivolyHostInjectMouseButton(7, 1, 720, 520);  // no such button: ignored
    KivolyHostInjectKey(0x41, 1);
    EXPECT_TRUE(IsKeyDownNow(0x41));
    KivolyHostInjectKey(0x41, 0);
    KivolyHostInjectKey(0xFF, 1);  // the last key there is; 0 and 256 are none
    KivolyHostInjectKey(0, 1);
    KivolyHostInjectKey(256, 1);
    EXPECT_TRUE(IsKeyDownNow(0xFF));
    EXPECT_FALSE(IsKeyDownNow(0));
    KivolyHostInjectKey(0xFF, 0);
    KivoMessage message;
    while (KivolyHostPeekMessage(&message, 1)) {
        KivolyHostTranslateMessage(&message);
        KivolyHostDispatchMessage(&message);
    }
    KivolyHostPostQuitMessage(9);
    EXPECT_EQ(KivolyHostGetMessage(&message), 0);
    EXPECT_EQ(message.wParam, 9u);
    EXPECT_EQ(gClicks, 1);

    const std::string picture =
        (std::filesystem::temp_directory_path() / "kivoly-host-screen.png").string();
    EXPECT_EQ(KivolyHostSaveScreen(picture.c_str()), 1);
    sim::Picture saved;
    std::string error;
    ASSERT_TRUE(sim::ReadPicture(picture, saved, error)) << error;
    std::filesystem::remove(picture);
    ASSERT_EQ(saved.width, 800);
    ASSERT_EQ(saved.height, 600);
    const uint8_t* inWindow = saved.Pixel(720, 520);  // the class background: white
    EXPECT_EQ(inWindow[0] + inWindow[1] + inWindow[2], 3 * 255);
    EXPECT_EQ(KivolyHostSaveScreen("/nonexistent-folder/screen.png"), 0);
    KivolyHostUseHeadlessDisplay(1024, 768);
}

}  // namespace
}  // namespace kivoly::platform
