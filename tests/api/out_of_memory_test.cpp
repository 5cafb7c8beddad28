// Memory that runs out: a capture store that cannot be allocated is said once and the status stays
// connected; a preview bitmap that cannot be made refuses the preview.
#include <gtest/gtest.h>

#include <cstdlib>

#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "kivoly/kivoly.h"
#include "output/packed_dib.h"
#include "platform/message_box.h"
#include "sim/simulated_rig.h"
#include "support/temp_settings_folder.h"

#if defined(__SANITIZE_ADDRESS__)
#define KIVOLY_NO_CALLOC_INTERPOSER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KIVOLY_NO_CALLOC_INTERPOSER 1
#endif
#endif

// While set, the allocations it picks fail.
static bool (*gFails)(std::size_t count, std::size_t size) = nullptr;

#ifndef KIVOLY_NO_CALLOC_INTERPOSER
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* calloc(std::size_t count, std::size_t size) {
    if (gFails && gFails(count, size)) return nullptr;
    return __libc_calloc(count, size);
}
#endif

namespace kivoly {
namespace {

TEST(OutOfMemory, AStoreIsReportedOnceAndLeavesTheDeviceConnectedAPreviewIsRefused) {
#ifdef KIVOLY_NO_CALLOC_INTERPOSER
    GTEST_SKIP() << "the address sanitizer owns the allocator";
#endif
    test::TempSettingsFolder folder;
    sim::SimulatedRig rig;
    platform::ClearShownMessageBoxes();
    Grabber grabber;
    gFails = [](std::size_t, std::size_t size) { return size == std::size_t(kLineBytes); };
    EXPECT_FALSE(grabber.ChangeStatus(KivoStatusVideoOn));
    gFails = nullptr;
    ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u);
    EXPECT_EQ(platform::ShownMessageBoxes()[0].text,
              "Not enough memory to kivo whith current settings.");
    EXPECT_EQ(platform::ShownMessageBoxes()[0].caption, "Error");
    EXPECT_EQ(grabber.CaptureStore(), nullptr);
    EXPECT_EQ(grabber.Status(), KivoStatusConnected);
    EXPECT_FALSE(rig.device.Powered());
    // With memory again, the next change arms and switches the video on.
    EXPECT_TRUE(grabber.ChangeStatus(KivoStatusVideoOn));
    EXPECT_NE(grabber.CaptureStore(), nullptr);
    grabber.ChangeStatus(KivoStatusIdle);

    // Without the block of the 8-bit 160 x 120 preview bitmap the preview is refused.
    KivoGrabber* handle = KivoAlloc();
    gFails = [](std::size_t count, std::size_t) { return count == 160 * 120 + kDibSlack; };
    EXPECT_EQ(KivoStartPreviewing(handle), 0);
    gFails = nullptr;
    EXPECT_EQ(KivoGetStatus(handle), KivoStatusIdle);
    KivoFree(handle);
}

}  // namespace
}  // namespace kivoly
