// Whole device captures decoded: the simulated digitizer behind the port, driven by the capture
// passes.
#include <gtest/gtest.h>

#include <vector>

#include "capture/memory_raw_source.h"
#include "capture/parallel_port_device.h"
#include "decode/yuv_image.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/encoded_capture.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

// A slow port and a tape still give pictures: the delay is settled by the first capture, and
// captures that miss the vertical sync are taken without it.
TEST(DeviceDecode, SlowPortAndTapeStillDecode) {
    sim::SimulatedFaults slow;
    slow.slowPortDelay = 3;
    sim::SimulatedFaults tape;
    tape.unstableSync = true;
    for (const sim::SimulatedFaults& faults : {slow, tape}) {
        sim::SimulatedRig rig;
        rig.device.SetFaults(faults);
        ParallelPortDevice device(0);
        ASSERT_EQ(device.TryPort(1), 0x378);
        const KivoGrabInfo info{2, 1, 0, 1, -1, 1, 1, 0};
        YuvImage store(info, nullptr);
        EXPECT_EQ(store.Decode(info, nullptr, nullptr, &device), DecodeOk);
        EXPECT_EQ(device.IODelay(), faults.slowPortDelay);
    }
}

// Every luma and chroma byte of the decoded lines of two pictures.
std::vector<uint8_t> DecodedBytes(const YuvImage& image) {
    std::vector<uint8_t> bytes;
    for (const LineTable* table : {&image.lineTable, &image.lineTable2}) {
        for (int l = 0; table->entries && l < table->lineCount; ++l) {
            bytes.insert(bytes.end(), table->Line(l), table->Line(l) + 2 * kSampleWidth);
        }
    }
    return bytes;
}

// The device captures the same fields as the raw files that the encoder writes for each
// quality, so a picture decoded from the simulated digitizer is the one the raw-file road gives.
TEST(DeviceDecode, SameAsTheRawFileRoad) {
    const sim::Picture picture = test::NaturalPicture();
    ASSERT_FALSE(picture.Empty());
    for (int quality = 0; quality < 4; ++quality) {
        const KivoGrabInfo info{quality, 1, 1, 1, -1, 1, 1, 0};

        sim::SimulatedRig rig(std::make_unique<sim::EncodedSignal>(picture));
        ParallelPortDevice device(0);
        ASSERT_EQ(device.TryPort(1), 0x378);
        YuvImage fromDevice(info, nullptr);
        ASSERT_EQ(fromDevice.Decode(info, nullptr, nullptr, &device), DecodeOk) << quality;

        MemoryRawSource file(test::EncodeForQuality(picture, quality).nsr);
        YuvImage fromFile(info, nullptr);
        ASSERT_EQ(fromFile.Decode(info, nullptr, nullptr, &file), DecodeOk) << quality;

        EXPECT_EQ(fromDevice.passesDone, fromFile.passesDone) << quality;
        EXPECT_TRUE(DecodedBytes(fromDevice) == DecodedBytes(fromFile)) << quality;
    }
}

}  // namespace
}  // namespace kivoly
