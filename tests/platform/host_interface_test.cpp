#include "kivoly/host.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/clock.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/profile.h"
#include "platform/sound.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

TEST(HostInterface, ReachesEveryService) {
    test::TempSettingsFolder scratch;
    const std::string other = scratch.File("elsewhere");
    KivolyHostSetSettingsFolder(other.c_str());
    ASSERT_TRUE(WriteProfileString("S", "K", "1", "Kivoly.ini"));
    EXPECT_EQ(scratch.ReadFile("elsewhere/Kivoly.ini"), "[S]\nK=1\n");
    KivolyHostSetSettingsFolder(nullptr);

    KivolyHostSetKeyDown(VkEscape, 1);
    EXPECT_TRUE(IsKeyDownNow(VkEscape));
    KivolyHostReleaseAllKeys();
    EXPECT_FALSE(IsKeyDownNow(VkEscape));

    static std::string seen;
    static int32_t kAnswerNo = IdNo;
    KivolyHostSetMessageBoxResponder(
        [](KivoHWnd, const char* text, const char* caption, uint32_t style, void* context) {
            seen = std::string(text) + "|" + caption + "|" + std::to_string(style);
            return *static_cast<int32_t*>(context);
        },
        &kAnswerNo);
    EXPECT_EQ(MessageBox(nullptr, "Abort Processing?", "Abort Requested", MbYesNo), IdNo);
    EXPECT_EQ(seen, "Abort Processing?|Abort Requested|4");
    KivolyHostSetMessageBoxResponder(nullptr, nullptr);
    EXPECT_EQ(MessageBox(nullptr, "a", "b", MbYesNo), IdYes);
    ClearShownMessageBoxes();
}

TEST(HostInterface, SoundAndClockBackEnds) {
    struct Log {
        std::string played;
        int stops = 0;
        uint32_t beep = 99;
    } log;
    KivolySoundBackend backend{[](const char* name, uint32_t, void* c) -> int32_t {
                                   static_cast<Log*>(c)->played = name;
                                   return 1;
                               },
                               [](void* c) { ++static_cast<Log*>(c)->stops; },
                               [](uint32_t type, void* c) { static_cast<Log*>(c)->beep = type; },
                               &log};
    ClearRecordedSounds();
    KivolyHostSetSoundBackend(&backend);
    EXPECT_TRUE(PlaySound("ding.wav", SoundAsync));
    StopSound();
    MessageBeep(0);
    EXPECT_EQ(log.played, "ding.wav");
    EXPECT_EQ(log.stops, 1);
    EXPECT_EQ(log.beep, 0u);
    backend.stop = nullptr;  // incomplete: the recorder takes over again
    KivolyHostSetSoundBackend(&backend);
    PlaySound("ding.wav", SoundAsync);
    EXPECT_EQ(RecordedSounds().size(), 1u);
    KivolyHostSetSoundBackend(nullptr);
    ClearRecordedSounds();

    int32_t now = 123456;
    KivolyHostSetClock([](void* c) { return *static_cast<int32_t*>(c); }, &now);
    EXPECT_EQ(NowMs(), 123456);
    now = 7;
    EXPECT_EQ(KivolyHostNowMs(), 7);
    KivolyHostSetClock(nullptr, nullptr);
    EXPECT_LT(KivolyHostNowMs(), 123456);
}

}  // namespace
}  // namespace kivoly::platform
