// The Grabber: settings file, callback table, what idle and freeing give back, the exports.
#include "api/grabber.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture/video_source.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "platform/global_memory.h"
#include "platform/port_io.h"
#include "platform/process_state.h"
#include "support/grabber_probe.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

// A source that counts how often its owner powers it off and destroys it.
struct SpySource : VideoSource {
    SpySource(int& powerOffs, int& destroyed) : powerOffs(powerOffs), destroyed(destroyed) {}
    ~SpySource() override { ++destroyed; }
    void Read(uint8_t*, uint16_t) override {}
    bool AcquireField() override { return false; }
    bool Power(int32_t on) override {
        powerOffs += on ? 0 : 1;
        return on != 0;
    }
    bool IsReady() override { return false; }
    int& powerOffs;
    int& destroyed;
};

class GrabberTest : public ::testing::Test {
  protected:
    test::TempSettingsFolder folder;
};

// Loading is the settings tests' and the settings command's to check.
TEST_F(GrabberTest, SavingWritesTheCommittedRecordCallbacksOutsideTheTableAreRefused) {
    Grabber grabber;
    KivoProcessInfo info = grabber.ProcessInfo();
    info.Width = 1500;
    info.Height = 1125;
    grabber.SetProcessInfo(info);
    test::GrabberProbe::InUse(grabber).Width = 320;  // changed only inside a capture
    grabber.SetShowProgress(false);
    grabber.SaveSettings();
    Grabber reloaded;
    EXPECT_EQ(reloaded.ProcessInfo().Width, 1500);
    EXPECT_EQ(reloaded.ShowProgress(), 0);

    // Callbacks outside the table are refused.
    static int calls = 0;
    const KivoCallback callback = [] { return ++calls; };
    EXPECT_TRUE(grabber.SetCallback(KivoCallbackPreviewFrame, callback));
    EXPECT_FALSE(grabber.SetCallback(KivoCallbackSlots, callback));
    EXPECT_FALSE(grabber.SetCallback(-1, callback));
    EXPECT_EQ(grabber.Call(KivoCallbackPreviewFrame), 1);
    EXPECT_EQ(grabber.Call(KivoCallbackCapture), 0);  // empty
    EXPECT_EQ(grabber.Call(KivoCallbackSlots), 0);
    EXPECT_EQ(calls, 1);
    for (int slot = 0; slot < KivoCallbackPreviewFrame; ++slot)
        EXPECT_FALSE(grabber.HasCallback(slot));
}

TEST_F(GrabberTest, TheStepToIdleGivesAClaimedPortBack) {
    struct Ports : platform::PortIo {
        uint8_t In(uint16_t) override { return 0xFF; }
        void Out(uint16_t, uint8_t) override {}
        intptr_t Claim(int) override { return -1; }
        void Release(intptr_t handle) override { released.push_back(handle); }
        std::vector<intptr_t> released;
    } ports;
    platform::InstallPortIo(&ports);
    {
        Grabber grabber;
        test::GrabberProbe::ClaimPort(grabber, true, 5, KivoStatusConnected);
        EXPECT_TRUE(grabber.ChangeStatus(KivoStatusIdle));
        EXPECT_EQ(test::GrabberProbe::PortHandle(grabber), -1);
        // A handle that this grabber never claimed is only forgotten.
        test::GrabberProbe::ClaimPort(grabber, false, 6, KivoStatusConnected);
        EXPECT_TRUE(grabber.ChangeStatus(KivoStatusIdle));
        EXPECT_EQ(test::GrabberProbe::PortHandle(grabber), -1);
    }
    // Freed while the change to idle is refused (a capture runs): the port is still given back.
    {
        Grabber grabber;
        test::GrabberProbe::ClaimPort(grabber, true, 7, KivoStatusConnected);
        Process().captureBusy = true;
    }
    Process().captureBusy = false;
    EXPECT_EQ(ports.released, (std::vector<intptr_t>{5, 7}));
}

TEST_F(GrabberTest, ExportsForwardAndFreeingReleasesSourceStoreAndBitmapAndWritesNothing) {
    int powerOffs = 0, destroyed = 0;
    KivoGrabber* handle = KivoAlloc();
    ASSERT_NE(handle, nullptr);
    // The exports refuse null records and forward the rest.
    KivoGetGrabInfo(handle, nullptr);
    KivoSetGrabInfo(handle, nullptr);
    KivoGetProcessInfo(handle, nullptr);
    KivoSetProcessInfo(handle, nullptr);
    KivoSetKivolyIsExe(handle, 1);
    EXPECT_EQ(KivoGetKivolyIsExe(handle), 1);
    KivoSetShowProgress(handle, 0);
    EXPECT_EQ(KivoGetShowProgress(handle), 0);
    Grabber* grabber = Grabber::From(handle);
    test::GrabberProbe::Hold(*grabber, new SpySource(powerOffs, destroyed),
                             new YuvImage(kSampleWidth, 20, false, false, 640), KivoStatusArmed);
    const KivoHGlobal bitmap = platform::GlobalAlloc(64);
    test::GrabberProbe::SetPreviewBitmap(*grabber, bitmap);
    platform::GlobalLock(bitmap);
    KivoFree(handle);
    EXPECT_EQ(powerOffs, 1);
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(platform::GlobalIsValid(bitmap));
    EXPECT_EQ(folder.ReadFile("Kivoly.ini"), "");
    EXPECT_EQ(KivoGetShowProgress(nullptr), 0);
    KivoFree(nullptr);
}

}  // namespace
}  // namespace kivoly
