// A store that cannot be allocated is said once and the status stays connected: no capture on it.
#include <gtest/gtest.h>

#include <cstdlib>

#include "api/grabber.h"
#include "decode/yuv_image.h"
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

namespace {
// While set, the allocation of a block of picture lines fails.
bool gFailLineBlocks = false;
}  // namespace

#ifndef KIVOLY_NO_CALLOC_INTERPOSER
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* calloc(std::size_t count, std::size_t size) {
    if (gFailLineBlocks && size == static_cast<std::size_t>(kivoly::kLineBytes)) return nullptr;
    return __libc_calloc(count, size);
}
#endif

namespace kivoly {
namespace {

TEST(StoreAllocation, FailureIsReportedOnceAndLeavesTheDeviceConnected) {
#ifdef KIVOLY_NO_CALLOC_INTERPOSER
    GTEST_SKIP() << "the address sanitizer owns the allocator";
#endif
    test::TempSettingsFolder folder;
    sim::SimulatedRig rig;
    platform::ClearShownMessageBoxes();
    Grabber grabber;
    gFailLineBlocks = true;
    EXPECT_FALSE(grabber.ChangeStatus(KivoStatusVideoOn));
    gFailLineBlocks = false;
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
}

}  // namespace
}  // namespace kivoly
