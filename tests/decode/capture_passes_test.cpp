// The capture passes of each quality over hand-made fields: which fields are taken, how many
// passes are made, where the lines go, and the result codes of bad or unstable input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/internal/picture_decoder.h"
#include "decode/line_interpolators.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"
#include "support/encoded_capture.h"

namespace kivoly {
namespace {

testing::SyntheticVideo Colour() {
    testing::SyntheticVideo video;
    video.u = 20;
    video.v = -30;
    video.luma = [](int l, int) { return 100 + (l % 7) * 10; };
    return video;
}

int8_t ChromaAt(const YuvImage& image, int line, int k) {
    return static_cast<int8_t>(image.lineTable.Line(line)[kSampleWidth + k]);
}

TEST(CapturePasses, StableStillPicturePerQuality) {
    struct Case {
        int quality;
        int passesDone;
        int acquisitions;
    };
    // A line a sample long, as a camera's clock gives now and then: the lines after it are
    // aligned.
    testing::SyntheticVideo video = Colour();
    video.longLine = 40;
    video.extra = 1;
    for (const Case c : {Case{0, 2, 1}, Case{1, 4, 3}, Case{2, 4, 4}, Case{3, 8, 8}}) {
        MemoryRawSource source(testing::StillFile(video, 8));
        const KivoGrabInfo info = test::ColourCameraGrab(c.quality);
        YuvImage image(info, nullptr);
        ASSERT_EQ(image.Decode(info, nullptr, nullptr, &source), DecodeOk) << c.quality;
        EXPECT_EQ(image.passesDone, c.passesDone) << c.quality;
        EXPECT_EQ(source.acquisitions, c.acquisitions) << c.quality;
        EXPECT_EQ(image.fieldStep, c.quality < 2 ? 1 : 2);
        EXPECT_FALSE(source.powered);
        EXPECT_EQ(image.chunk.Data(), nullptr);
        // Every line of the picture (below the first two that consumers skip) carries the
        // colour, U at even and V at odd positions.
        for (int l = 2; l < image.lineCount - 1; ++l) {
            ASSERT_EQ(ChromaAt(image, l, 300), 20) << c.quality << " line " << l;
            ASSERT_EQ(ChromaAt(image, l, 301), -30) << c.quality << " line " << l;
        }
        EXPECT_NEAR(image.whiteLevel, 160, 2);
        EXPECT_LT(image.blackLevel, 100);  // the blanking at the line ends
        EXPECT_GE(image.medianLevel, 100);
    }
}

// Each decode starts its stages afresh: a store that decoded another picture (a negative, at
// a different brightness, without burst) decodes the next one as a new store does.
TEST(CapturePasses, AStoreDecodesAgainAsANewStoreDoes) {
    testing::SyntheticVideo other = Colour();
    other.burstAmplitude = 0;
    other.luma = [](int, int i) { return 60 + (i % 90); };
    for (int quality : {0, 1, 2, 3}) {
        KivoGrabInfo info = test::ColourCameraGrab(quality);
        info.Negative = 1;
        YuvImage reused(info, nullptr);
        MemoryRawSource first(testing::StillFile(other, 8));
        ASSERT_EQ(reused.Decode(info, nullptr, nullptr, &first), DecodeOk) << quality;
        YuvImage fresh(info, nullptr);
        MemoryRawSource second(testing::StillFile(Colour(), 8));
        MemoryRawSource again(testing::StillFile(Colour(), 8));
        ASSERT_EQ(fresh.Decode(info, nullptr, nullptr, &second), DecodeOk) << quality;
        ASSERT_EQ(reused.Decode(info, nullptr, nullptr, &again), DecodeOk) << quality;

        EXPECT_EQ(reused.passesDone, fresh.passesDone) << quality;
        EXPECT_EQ(reused.whiteLevel, fresh.whiteLevel) << quality;
        EXPECT_EQ(reused.blackLevel, fresh.blackLevel) << quality;
        EXPECT_EQ(reused.medianLevel, fresh.medianLevel) << quality;
        EXPECT_EQ(reused.statistics.lumaHistogram, fresh.statistics.lumaHistogram) << quality;
        // The bytes every decoder writes: the luma and chroma of positions 0 .. 750.
        for (int l = 0; l < fresh.lineCount; ++l) {
            const uint8_t* a = reused.lineTable.Line(l);
            const uint8_t* b = fresh.lineTable.Line(l);
            ASSERT_EQ(std::memcmp(a, b, kSampleWidth - 1), 0) << quality << " line " << l;
            ASSERT_EQ(std::memcmp(a + kSampleWidth, b + kSampleWidth, kSampleWidth - 1), 0)
                << quality << " line " << l;
        }
    }
}

// Without burst there is no colour to decode. (A grey decode is held by the byte-identity test.)
TEST(CapturePasses, NoBurstGivesNoChroma) {
    testing::SyntheticVideo noBurst = Colour();
    noBurst.burstAmplitude = 0;
    for (int quality : {0, 2}) {
        const KivoGrabInfo info = test::ColourCameraGrab(quality);
        MemoryRawSource burstless(testing::StillFile(noBurst, 4));
        YuvImage image(info, nullptr);
        PictureDecoder decoder(image, burstless, info);
        ASSERT_EQ(decoder.Decode(nullptr, nullptr), DecodeOk);
        EXPECT_EQ(decoder.aligner.MissCount(), 8);
        for (int l = 2; l < image.lineCount - 1; ++l) {
            for (int k = 8; k < kSampleWidth - 8; ++k)
                ASSERT_EQ(ChromaAt(image, l, k), 0) << quality << " line " << l;
        }
    }
}

// Two fields make the picture from one frame; one field, or three, rebuild the missing field
// between the lines of the other.
TEST(CapturePasses, FileEndingEarlyMakesThePictureFromWhatThereIs) {
    const KivoGrabInfo info = test::ColourCameraGrab(2);
    for (const auto& [fields, last] : {std::pair{2, 0}, {1, 480}, {3, 482}}) {
        MemoryRawSource source(testing::StillFile(Colour(), fields));
        YuvImage image(info, nullptr);
        ASSERT_EQ(image.Decode(info, nullptr, nullptr, &source), DecodeOk);
        EXPECT_EQ(image.passesDone, fields);
        for (const int line : {100, 101}) {
            EXPECT_EQ(ChromaAt(image, line, 300), 20) << fields << " " << line;
            EXPECT_EQ(ChromaAt(image, line, 301), -30) << fields << " " << line;
        }
        // The last rebuilt line has no field line below its lower neighbour.
        const int end = last + 1;
        auto line = [&](int l) { return image.lineTable.Line(std::min(l, end)); };
        uint8_t want[kSampleWidth];
        for (int l = 6; l <= last; l += 2) {
            Interpolate4(want, line(l - 3), line(l - 1), line(l + 1), line(l + 3));
            ASSERT_EQ(std::memcmp(line(l), want, kSampleWidth), 0) << fields << " line " << l;
        }
    }
}

TEST(CapturePasses, ResultCodesOfBadInput) {
    const KivoGrabInfo info = test::ColourCameraGrab(1);
    std::vector<uint8_t> notRaw = testing::StillFile(Colour(), 3);
    notRaw[0] = 'X';
    // A device alarm in the field flags.
    struct AlarmSource : MemoryRawSource {
        using MemoryRawSource::MemoryRawSource;
        void Read(uint8_t* buffer, uint16_t count) override {
            MemoryRawSource::Read(buffer, count);
            AddFieldFlags(DeviceAlarm);
        }
    };
    MemoryRawSource empty({}), bad(notRaw);
    AlarmSource alarm(testing::StillFile(Colour(), 3));
    for (MemoryRawSource* source : {&empty, &bad, static_cast<MemoryRawSource*>(&alarm)}) {
        YuvImage image(info, nullptr);
        EXPECT_EQ(image.Decode(info, nullptr, nullptr, source), DecodeNoVideo);
    }
}

TEST(CapturePasses, LowBlankingRescansOnTheFirstPassOnly) {
    testing::SyntheticVideo low = Colour();
    low.blanking = 40;
    std::vector<std::vector<uint8_t>> fields = testing::StillFields(Colour(), 3);
    fields.insert(fields.begin(), low.Field());
    MemoryRawSource rescanned(testing::RawFile(fields));
    const KivoGrabInfo info = test::ColourCameraGrab(1);
    YuvImage image(info, nullptr);
    EXPECT_EQ(image.Decode(info, nullptr, nullptr, &rescanned), DecodeOk);
    EXPECT_EQ(rescanned.acquisitions, 4);

    std::vector<std::vector<uint8_t>> late = testing::StillFields(Colour(), 2);
    late.push_back(low.Field());
    MemoryRawSource failing(testing::RawFile(late));
    YuvImage second(info, nullptr);
    EXPECT_EQ(second.Decode(info, nullptr, nullptr, &failing), DecodeBadSignal);

    // Only low fields: every rescan takes the next field until none is left.
    MemoryRawSource lows(testing::RawFile({low.Field(), low.Field()}));
    YuvImage third(info, nullptr);
    EXPECT_EQ(third.Decode(info, nullptr, nullptr, &lows), DecodeNoVideo);
    EXPECT_EQ(lows.acquisitions, 3);
}

}  // namespace
}  // namespace kivoly
