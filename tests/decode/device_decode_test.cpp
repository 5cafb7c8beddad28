// Whole device captures decoded: the simulated digitizer behind the port, driven by the capture
// passes at every quality and with the faults that end a capture early.
#include <gtest/gtest.h>

#include <vector>

#include "capture/detected_ports.h"
#include "capture/memory_raw_source.h"
#include "capture/parallel_port_device.h"
#include "decode/yuv_image.h"
#include "sim/encoded_signal.h"
#include "sim/simulated_rig.h"
#include "support/encoded_capture.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

struct Outcome {
    DecodeResult result;
    int passes;
    std::vector<int> barLuma;  // mean luma of each of the seven bars, middle line
};

Outcome Capture(int quality, const sim::SimulatedFaults& faults = {}) {
    sim::SimulatedRig rig;
    rig.device.SetFaults(faults);
    ParallelPortDevice device(0);
    Outcome outcome{DecodeNoVideo, 0, {}};
    if (device.TryPort(1) != 0) {
        const KivoGrabInfo info{quality, 1, 1, 1, -1, 1, 1, 0};
        YuvImage store(info, nullptr);
        outcome.result = store.Decode(info, nullptr, nullptr, &device);
        outcome.passes = store.passesDone;
        if (outcome.result == DecodeOk) {
            const uint8_t* line = store.lineTable.Line(store.lineCount / 2);
            for (int bar = 0; bar < 7; ++bar) {
                int sum = 0;
                for (int x = 30; x < 70; ++x)
                    sum += line[bar * kSampleWidth / 7 + x];
                outcome.barLuma.push_back(sum / 40);
            }
        }
    }
    DetectedPorts().fill(0);
    return outcome;
}

TEST(DeviceDecode, EveryQualityDecodesTheBars) {
    const int passes[4] = {2, 4, 4, 8};
    for (int quality = 0; quality < 4; ++quality) {
        const Outcome outcome = Capture(quality);
        ASSERT_EQ(outcome.result, DecodeOk) << quality;
        EXPECT_EQ(outcome.passes, passes[quality]) << quality;
        // White, yellow, cyan, green, magenta, red, blue: the luma falls bar by bar.
        for (int bar = 1; bar < 7; ++bar) {
            EXPECT_LT(outcome.barLuma[bar], outcome.barLuma[bar - 1] - 5)
                << "quality " << quality << " bar " << bar;
        }
    }
}

TEST(DeviceDecode, FaultsGiveTheirResults) {
    sim::SimulatedFaults noVideo;
    noVideo.noVideo = true;
    EXPECT_EQ(Capture(1, noVideo).result, DecodeNoVideo);
    sim::SimulatedFaults alarm;
    alarm.alarm = true;
    EXPECT_EQ(Capture(1, alarm).result, DecodeNoVideo);
    sim::SimulatedFaults noisy;
    noisy.noisyLink = true;
    EXPECT_EQ(Capture(1, noisy).result, DecodeReadbackFailed);
    sim::SimulatedFaults slow;
    slow.slowPortDelay = 3;
    EXPECT_EQ(Capture(2, slow).result, DecodeOk);
    sim::SimulatedFaults tape;
    tape.unstableSync = true;
    EXPECT_EQ(Capture(2, tape).result, DecodeOk);
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
        DetectedPorts().fill(0);

        MemoryRawSource file(test::EncodeForQuality(picture, quality).nsr);
        YuvImage fromFile(info, nullptr);
        ASSERT_EQ(fromFile.Decode(info, nullptr, nullptr, &file), DecodeOk) << quality;

        EXPECT_EQ(fromDevice.passesDone, fromFile.passesDone) << quality;
        EXPECT_TRUE(DecodedBytes(fromDevice) == DecodedBytes(fromFile)) << quality;
    }
}

}  // namespace
}  // namespace kivoly
