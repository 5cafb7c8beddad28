// Key state, message boxes and sounds: the services a host answers for.
#include <gtest/gtest.h>

#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "support/temp_settings_folder.h"

namespace kivoly::platform {
namespace {

TEST(KeyState, KeysAreHeldUntilReleased) {
    SetKeyDownNow(VkControl, true);
    SetKeyDownNow(VkMenu, true);
    EXPECT_TRUE(IsKeyDownNow(VkControl));
    EXPECT_TRUE(IsKeyDownNow(VkMenu));
    EXPECT_FALSE(IsKeyDownNow(VkShift));
    SetKeyDownNow(VkControl, false);
    EXPECT_FALSE(IsKeyDownNow(VkControl));
    ReleaseAllKeys();
    EXPECT_FALSE(IsKeyDownNow(VkMenu));
    SetKeyDownNow(-1, true);  // no such key: ignored
    SetKeyDownNow(256, true);
    EXPECT_FALSE(IsKeyDownNow(-1));
    EXPECT_FALSE(IsKeyDownNow(256));
}

TEST(MessageBoxes, TheDefaultResponderPressesTheDefaultButtonAndKeepsEveryBox) {
    ClearShownMessageBoxes();
    EXPECT_EQ(MessageBox(nullptr, "Not enough memory to kivo.", "Error", MbOk | MbIconExclamation),
              IdOk);
    EXPECT_EQ(MessageBox(nullptr, "Abort Processing?", "Abort Requested", MbYesNo | MbDefButton2),
              IdNo);
    EXPECT_EQ(MessageBox(nullptr, nullptr, nullptr, MbYesNo), IdYes);
    EXPECT_EQ(MessageBox(nullptr, "q", "c", MbOkCancel | MbDefButton3), IdOk);  // no third button
    EXPECT_EQ(MessageBox(nullptr, "q", "c", MbAbortRetryIgnore | MbDefButton3), IdIgnore);
    EXPECT_EQ(MessageBox(nullptr, "q", "c", 0x0F), IdOk);  // unknown button set
    const auto& shown = ShownMessageBoxes();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[0].text, "Not enough memory to kivo.");
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_EQ(shown[0].style, MbOk | MbIconExclamation);
    EXPECT_EQ(shown[2].text, "");
    ClearShownMessageBoxes();
    EXPECT_TRUE(ShownMessageBoxes().empty());
}

TEST(MessageBoxes, AnInstalledResponderAnswersAndBoxesAreStillKept) {
    ClearShownMessageBoxes();
    int asked = 0;
    InstallMessageBoxResponder(
        [](const MessageBoxRecord& box, void* context) {
            ++*static_cast<int*>(context);
            return box.caption == "Abort Requested" ? int{IdYes} : int{IdCancel};
        },
        &asked);
    auto owner = reinterpret_cast<KivoHWnd>(static_cast<uintptr_t>(0x40));
    EXPECT_EQ(MessageBox(owner, "Abort Processing?", "Abort Requested", MbYesNo), IdYes);
    EXPECT_EQ(MessageBox(nullptr, "x", "y", MbOk), IdCancel);
    EXPECT_EQ(asked, 2);
    ASSERT_EQ(ShownMessageBoxes().size(), 2u);
    EXPECT_EQ(ShownMessageBoxes()[0].owner, owner);
    InstallMessageBoxResponder(nullptr, nullptr);
    EXPECT_EQ(MessageBox(nullptr, "x", "y", MbOk), IdOk);
    ClearShownMessageBoxes();
}

TEST(Sounds, TheRecordingBackendLogsAndPlaysOnlyWhatExists) {
    test::TempSettingsFolder folder;
    folder.WriteFile("Chime.WAV", "RIFF");
    ClearRecordedSounds();
    EXPECT_TRUE(
        PlaySound("chime.wav", SoundAsync | SoundNoDefault));  // found in the settings folder
    EXPECT_FALSE(PlaySound("missing.wav", SoundAsync));
    EXPECT_TRUE(PlaySound("SystemExclamation", SoundAsync));
    EXPECT_TRUE(PlaySound("", 0));  // stops
    StopSound();
    MessageBeep(0);
    const auto& sounds = RecordedSounds();
    ASSERT_EQ(sounds.size(), 6u);
    EXPECT_EQ(sounds[0].kind, SoundEvent::Play);
    EXPECT_EQ(sounds[0].name, "chime.wav");
    EXPECT_EQ(sounds[0].flags, SoundAsync | SoundNoDefault);
    EXPECT_EQ(sounds[1].name, "missing.wav");
    EXPECT_EQ(sounds[3].kind, SoundEvent::Stop);
    EXPECT_EQ(sounds[4].kind, SoundEvent::Stop);
    EXPECT_EQ(sounds[5].kind, SoundEvent::Beep);
    ClearRecordedSounds();
}

TEST(Sounds, AnInstalledBackendPlaysInsteadOfTheRecorder) {
    struct Counting : SoundBackend {
        bool Play(const std::string& name, unsigned) override {
            last = name;
            return true;
        }
        void Stop() override { ++stops; }
        void Beep(unsigned) override { ++beeps; }
        std::string last;
        int stops = 0;
        int beeps = 0;
    } backend;
    ClearRecordedSounds();
    InstallSoundBackend(&backend);
    EXPECT_TRUE(PlaySound("nothing.wav", SoundLoop));
    PlaySound(nullptr, 0);
    MessageBeep(0x30);
    InstallSoundBackend(nullptr);
    EXPECT_EQ(backend.last, "nothing.wav");
    EXPECT_EQ(backend.stops, 1);
    EXPECT_EQ(backend.beeps, 1);
    EXPECT_TRUE(RecordedSounds().empty());
}

}  // namespace
}  // namespace kivoly::platform
