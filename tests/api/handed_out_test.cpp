// Exports refuse handles not handed out or freed; a picture freed once is forgotten by all.
#include <gtest/gtest.h>

#include "kivoly/kivoly.h"
#include "sim/simulated_rig.h"
#include "support/quiet_grabber.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

class HandedOutTest : public ::testing::Test {
  protected:
    HandedOutTest() {
        for (KivoGrabber*& grabber : grabbers_)
            grabber = test::QuietGrabber(0, 320);
    }
    ~HandedOutTest() override {
        for (KivoGrabber* grabber : grabbers_)
            KivoFree(grabber);
    }
    KivoYuvImage* Capture() {
        KivoYuvImage* picture = KivoScanAndMakeYUV(grabbers_[0]);
        EXPECT_NE(picture, nullptr);
        return picture;
    }

    test::TempSettingsFolder folder_;
    sim::SimulatedRig rig_;
    KivoGrabber* grabbers_[2] = {};
};

TEST_F(HandedOutTest, APictureFreedThroughOneGrabberIsForgottenByAll) {
    auto [a, b] = grabbers_;
    KivoYuvImage* picture = Capture();
    ASSERT_EQ(KivoUseYUV(a, picture), 1);
    ASSERT_EQ(KivoUseYUV(b, picture), 1);
    KivoFreeYUV(b, picture);
    EXPECT_EQ(KivoProcYUVToRGB(a, nullptr, nullptr), nullptr);  // no current picture left
    KivoFreeYUV(a, picture);                                    // twice: nothing happens
    EXPECT_EQ(KivoUseYUV(a, picture), 0);
    EXPECT_EQ(KivoProcYUVToRGB(a, picture, nullptr), nullptr);

    // KivoUseYUV destroys the current picture it replaces, for every Grabber.
    KivoYuvImage* first = Capture();
    KivoYuvImage* second = Capture();
    ASSERT_EQ(KivoUseYUV(a, first), 1);
    ASSERT_EQ(KivoUseYUV(b, first), 1);
    ASSERT_EQ(KivoUseYUV(a, second), 1);
    EXPECT_EQ(KivoProcYUVToRGB(b, nullptr, nullptr), nullptr);
    KivoFreeYUV(b, first);  // already destroyed: nothing happens
    KivoHGlobal dib = KivoProcYUVToRGB(a, nullptr, nullptr);
    EXPECT_NE(dib, nullptr);
    KivoFreeDib(dib);
    KivoFreeYUV(a, second);
}

TEST_F(HandedOutTest, HandlesNotHandedOutOrFreedAreRefused) {
    KivoGrabInfo record{};
    auto* stranger = reinterpret_cast<KivoGrabber*>(&record);
    auto* notAPicture = reinterpret_cast<KivoYuvImage*>(&record);
    EXPECT_EQ(KivoGetStatus(stranger), 0);
    EXPECT_EQ(KivoGetLineSize(stranger), 0);
    KivoFree(stranger);
    EXPECT_EQ(KivoUseYUV(grabbers_[0], notAPicture), 0);
    EXPECT_EQ(KivoProcYUVToRGB(grabbers_[0], notAPicture, nullptr), nullptr);
    uint8_t line[3 * 320] = {};
    KivoProcYUVToRGBLineSeg(grabbers_[0], line, 0, 0, 0, notAPicture);
    KivoFreeYUV(grabbers_[0], notAPicture);
    EXPECT_EQ(record.Quality, 0);  // untouched

    // A freed Grabber is refused; its pictures stay the host's to free.
    KivoYuvImage* picture = Capture();
    ASSERT_EQ(KivoUseYUV(grabbers_[1], picture), 1);
    KivoFree(grabbers_[1]);
    KivoFree(grabbers_[1]);
    EXPECT_EQ(KivoGetLineSize(grabbers_[1]), 0);
    EXPECT_EQ(KivoScanAndMakeYUV(grabbers_[1]), nullptr);
    KivoFreeYUV(grabbers_[1], picture);
    EXPECT_EQ(KivoUseYUV(grabbers_[0], picture), 0);
    grabbers_[1] = nullptr;
}

}  // namespace
}  // namespace kivoly
