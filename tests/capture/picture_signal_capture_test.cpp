// The simulated digitizer fed with a picture: synced device captures taken as a decode of the
// finest quality takes them are the encoder's records of that quality, sample for sample, so
// decoding from the device and from a raw file of the same picture are the same thing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "capture/parallel_port_device.h"
#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/picture_signal.h"
#include "sim/simulated_rig.h"

namespace kivoly {
namespace {

TEST(PictureSignalCaptureTest, DeviceCapturesAreTheEncodersRecords) {
    auto signal = std::make_unique<sim::PictureSignal>(sim::ColourBars(320, 240));
    const std::vector<sim::CaptureRecord> records = sim::EncodeCaptureRecords(signal->Encoder(), 3);
    sim::SimulatedRig rig(std::move(signal));
    ParallelPortDevice device(0);
    ASSERT_NE(device.TryPort(1), 0);

    device.SetSyncWait(1);
    for (size_t pass = 0; pass < records.size(); ++pass) {
        device.SetAltLineLength(pass >= 4);
        ASSERT_TRUE(device.AcquireField()) << pass;
        EXPECT_EQ(device.FieldFlags(), 0) << pass;
        std::vector<uint8_t> samples(sim::kRecordSamples);
        for (size_t at = 0; at < samples.size(); at += 6144) {
            const auto count = static_cast<uint16_t>(std::min<size_t>(6144, samples.size() - at));
            device.Read(&samples[at], count);
        }
        device.EndReadout();
        EXPECT_TRUE(samples == records[pass].samples) << "pass " << pass;
    }
    device.Power(0);
}

}  // namespace
}  // namespace kivoly
