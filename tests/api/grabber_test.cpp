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

// A source that notes how its owner treats it.
struct SpySource : VideoSource {
    struct Log {
        int powerOffs = 0;
        int destroyed = 0;
    };
    explicit SpySource(Log& log) : log(log) {}
    ~SpySource() override { ++log.destroyed; }
    void Read(uint8_t*, uint16_t) override {}
    bool AcquireField() override { return false; }
    bool Power(int32_t on) override {
        if (!on) ++log.powerOffs;
        return on != 0;
    }
    bool IsReady() override { return false; }
    Log& log;
};

class GrabberTest : public ::testing::Test {
  protected:
    test::TempSettingsFolder folder;
};

TEST_F(GrabberTest, ConstructionLoadsTheSettingsFile) {
    folder.WriteFile("kivoly.ini",
                     "[KivoAcquireInformation]\nQuality=3\nParallelPort=2\nUseColor=F\n"
                     "[KivoSettings]\nShowProgress=False\nKivoToNewWindow=True\n"
                     "[ProcessingSettings]\nWidth=320\nHeight=480\nGamma=-5\n");
    Grabber grabber;
    EXPECT_EQ(grabber.GrabInfo().Quality, 3);
    EXPECT_EQ(grabber.GrabInfo().ParallelPort, 2);
    EXPECT_EQ(grabber.GrabInfo().UseColor, 0);
    EXPECT_EQ(grabber.ShowProgress(), 0);
    EXPECT_EQ(grabber.WindowOption(), 1);
    EXPECT_EQ(grabber.ProcessInfo().Height, 240);
    EXPECT_EQ(grabber.CommittedProcessInfo().Gamma, -5);
}

TEST_F(GrabberTest, SavingWritesTheCommittedRecordAndTheFlags) {
    Grabber grabber;
    KivoProcessInfo info = grabber.ProcessInfo();
    info.Width = 1500;
    info.Height = 1125;
    info.Brightness = -12;
    grabber.SetProcessInfo(info);
    test::GrabberProbe::InUse(grabber).Width = 320;  // changed only inside a capture
    grabber.SetShowProgress(false);
    EXPECT_FALSE(grabber.ShowsWindow());
    grabber.SaveSettings();
    Grabber reloaded;
    EXPECT_EQ(reloaded.ProcessInfo().Width, 1500);
    EXPECT_EQ(reloaded.ProcessInfo().Brightness, -12);
    EXPECT_EQ(reloaded.ShowProgress(), 0);
}

TEST_F(GrabberTest, CallbacksOutsideTheTableAreRefused) {
    Grabber grabber;
    static int calls = 0;
    const KivoCallback callback = [] { return ++calls; };
    EXPECT_TRUE(grabber.SetCallback(KivoCallbackPreviewFrame, callback));
    EXPECT_FALSE(grabber.SetCallback(KivoCallbackSlots, callback));
    EXPECT_FALSE(grabber.SetCallback(-1, callback));
    EXPECT_EQ(grabber.Call(KivoCallbackPreviewFrame), 1);
    EXPECT_EQ(grabber.Call(KivoCallbackCapture), 0);  // empty
    EXPECT_EQ(grabber.Call(KivoCallbackSlots), 0);
    EXPECT_EQ(calls, 1);
    // The slots after the table were not touched.
    EXPECT_EQ(grabber.Source(), nullptr);
    for (int slot = 0; slot < KivoCallbackPreviewFrame; ++slot) {
        EXPECT_FALSE(grabber.HasCallback(slot));
    }
}

TEST_F(GrabberTest, TheStepToIdleReleasesStoreSourceAndPort) {
    SpySource::Log log;
    {
        Grabber grabber;
        test::GrabberProbe::Hold(grabber, new SpySource(log),
                                 new YuvImage(kSampleWidth, 20, false, false, 640),
                                 KivoStatusArmed);
        EXPECT_TRUE(grabber.ChangeStatus(KivoStatusIdle));
        EXPECT_EQ(grabber.CaptureStore(), nullptr);
        EXPECT_EQ(grabber.Source(), nullptr);
        EXPECT_EQ(log.powerOffs, 1);
        EXPECT_EQ(log.destroyed, 1);
        // Freeing a grabber that still holds a source and a store releases them too.
        test::GrabberProbe::Hold(grabber, new SpySource(log),
                                 new YuvImage(kSampleWidth, 20, false, false, 640),
                                 KivoStatusArmed);
    }
    EXPECT_EQ(log.powerOffs, 2);
    EXPECT_EQ(log.destroyed, 2);
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

TEST_F(GrabberTest, FreeingReleasesThePreviewBitmapAndWritesNothing) {
    KivoGrabber* handle = KivoAlloc();
    ASSERT_NE(handle, nullptr);
    Grabber* grabber = Grabber::From(handle);
    const KivoHGlobal bitmap = platform::GlobalAlloc(64);
    test::GrabberProbe::SetPreviewBitmap(*grabber, bitmap);
    platform::GlobalLock(bitmap);
    KivoFree(handle);
    EXPECT_FALSE(platform::GlobalIsValid(bitmap));
    EXPECT_EQ(folder.ReadFile("Kivoly.ini"), "");
}

TEST_F(GrabberTest, ExportsRefuseNullArgumentsAndForwardTheRest) {
    KivoGrabInfo grab{};
    KivoProcessInfo process{};
    KivoGetGrabInfo(nullptr, &grab);
    KivoSetGrabInfo(nullptr, &grab);
    KivoGetProcessInfo(nullptr, &process);
    KivoSetProcessInfo(nullptr, &process);
    KivoSetShowProgress(nullptr, 1);
    KivoSetKivolyIsExe(nullptr, 1);
    KivoSetCallback(nullptr, 0, nullptr);
    EXPECT_EQ(KivoGetShowProgress(nullptr), 0);
    EXPECT_EQ(KivoGetWindowOpt(nullptr), 0);
    EXPECT_EQ(KivoGetKivolyIsExe(nullptr), 0);
    EXPECT_EQ(KivoGetLineSize(nullptr), 0);
    KivoFree(nullptr);

    KivoGrabber* handle = KivoAlloc();
    ASSERT_NE(handle, nullptr);
    KivoGetGrabInfo(handle, nullptr);
    KivoSetGrabInfo(handle, nullptr);
    KivoSetKivolyIsExe(handle, 1);
    EXPECT_EQ(KivoGetKivolyIsExe(handle), 1);
    KivoSetShowProgress(handle, 0);
    EXPECT_EQ(KivoGetShowProgress(handle), 0);
    KivoSetCallback(handle, 99, [] { return int32_t{1}; });
    for (int slot = 0; slot < KivoCallbackSlots; ++slot)
        EXPECT_FALSE(Grabber::From(handle)->HasCallback(slot)) << slot;
    KivoFree(handle);
}

}  // namespace
}  // namespace kivoly
