#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/chunk_reader.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/clip_detector.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
#include "decode/internal/sync_slicer.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// The analysing stages with a window and a source, as a capture pass has them, and a picture
// for the statistics.
struct Analysis {
    KivoGrabInfo info{};
    YuvImage image{info, nullptr};
    MemoryRawSource source{{}};
    ChunkBuffer window;
    ChunkReader chunk;
    SyncSlicer slicer;
    LineAligner aligner;
    LevelRecorder recorder{image};

    Analysis() {
        window.Ensure();
        chunk.Attach(window.Data(), &source, nullptr);
        image.ResetLevels();
    }
    void Fill(const std::vector<uint8_t>& samples) {
        std::memcpy(chunk.Data(), samples.data(), kChunkBytes);
    }
    int NextLine(int& position) { return slicer.NextLine(chunk, position, kSamplesPerLine); }
};

TEST(SyncSearch, StopsAtTheEndOfTheChunk) {
    Analysis a;
    std::vector<uint8_t> flat(kChunkBytes, 64);
    a.Fill(flat);
    int position = kChunkBytes - 100;
    EXPECT_EQ(a.NextLine(position), kChunkBytes);
    EXPECT_EQ(position, kChunkBytes - 100);
}

TEST(EvenOdd, MeasuresAndCorrectsLaterChunks) {
    Analysis a;
    // The 344 pairs after the decode start are measured, not where they would run past the
    // chunk. A smaller disagreement does not replace the first; a larger one is limited to 10.
    const int pastTheEnd = kChunkBytes - kDecodeStart - 2 * 344 + 1;
    for (const auto& [even, odd, position, offset] : {std::array{120, 100, pastTheEnd, 0},
                                                      {106, 100, 1, 6},
                                                      {100, 103, 0, 6},
                                                      {80, 100, 0, -10}}) {
        std::vector<uint8_t> samples(kChunkBytes);
        for (int i = 0; i < kChunkBytes; ++i)
            samples[i] = static_cast<uint8_t>(i % 2 == 0 ? even : odd);
        a.Fill(samples);
        a.chunk.MeasureEvenOdd(position);  // from an odd start the pairs are turned round
        EXPECT_EQ(a.chunk.EvenOddOffset(), offset) << even << " " << odd;
    }

    // New samples read into the chunk: even offsets corrected, 0 and 255 left alone.
    a.chunk.SetEvenOddOffset(6);
    std::vector<uint8_t> field(4000);
    for (size_t i = 0; i < field.size(); ++i)
        field[i] = static_cast<uint8_t>(100 + i % 4);
    field[0] = 0;
    field[2] = 255;
    field[4] = 3;
    MemoryRawSource source(testing::RawFile({field}));
    a.chunk.Attach(a.window.Data(), &source, nullptr);
    ASSERT_TRUE(source.AcquireField());
    int position = kChunkBytes - 2000;
    a.NextLine(position);
    EXPECT_EQ(position, kChunkBytes - 2000 - kChunkHalf);
    const uint8_t* fresh = a.chunk.Data() + kChunkHalf;
    // 3 - 6 at 4 clamps to 0.
    for (const auto& [at, value] : {std::pair{0, 0}, {1, 101}, {2, 255}, {4, 0}, {6, 96}, {7, 103}})
        EXPECT_EQ(fresh[at], value) << at;
    EXPECT_EQ(source.BytesRemaining(), 4000 - kChunkHalf);
}

TEST(BurstMeasure, AmplitudeSixteenIsTheLeastBurst) {
    Analysis a;
    std::vector<uint8_t> line(1070, 64);
    line[96 + 2] = 64 + 15;
    const BurstMeasurement weak = a.aligner.Measure(line.data());
    EXPECT_EQ(weak.gain, 0.0);
    EXPECT_EQ(weak.a, 0.0);
    EXPECT_EQ(weak.b, 1.0);
    EXPECT_EQ(weak.blanking, 64);
    EXPECT_EQ(a.aligner.MissCount(), 1);

    line[96 + 2] = 64 + 16;
    const BurstMeasurement burst = a.aligner.Measure(line.data());
    EXPECT_DOUBLE_EQ(burst.gain, 16.0);
    EXPECT_DOUBLE_EQ(burst.a, 1.0);
    EXPECT_DOUBLE_EQ(burst.b, 0.0);
    EXPECT_EQ(burst.blanking, 65);  // (16 x 64 + 16) / 16
    EXPECT_EQ(a.aligner.MissCount(), 0);
}

TEST(AlignLine, MovesTheLineOntoTheReferencePhase) {
    Analysis a;
    a.Fill(testing::SyntheticVideo().Field());
    int position = 0;
    const int line0 = a.NextLine(position);
    const BurstMeasurement ref = a.aligner.Measure(a.chunk.Data() + line0);
    const int line1 = line0 + 910;

    // Aligned lines stay; a sample off moves back with the skew noted; half a cycle off goes
    // the way the skew says.
    struct Case {
        int line, offset, skewBefore, moved, skewAfter;
    };
    for (const Case c : {Case{1, 0, 0, 0, 0},
                         {0, 0, 0, 0, 0},
                         {1, -1, 0, 0, -1},
                         {1, 1, 0, 0, 1},
                         {1, 2, 0, 0, 2},
                         {1, 2, 3, 4, 1}}) {
        const int at = c.line ? line1 : line0;
        int start = at + c.offset;
        int16_t skew = static_cast<int16_t>(c.skewBefore);
        a.aligner.Align(a.chunk.Data(), start, c.line, ref.b, ref.a, skew);
        EXPECT_EQ(start, at + c.moved) << c.offset << " " << c.skewBefore;
        EXPECT_EQ(skew, c.skewAfter) << c.offset << " " << c.skewBefore;
    }
}

TEST(LineClips, FourNetSaturatedSamplesSetTheFlag) {
    Analysis a;
    const uint8_t almost[] = {255, 255, 255, 100, 255, 100, 100, 100};
    EXPECT_FALSE(LineClips(a.source, almost, 8));
    EXPECT_FALSE(a.source.Clipping());
    const uint8_t four[] = {100, 255, 255, 255, 255, 100};
    EXPECT_TRUE(LineClips(a.source, four, 6));
    EXPECT_TRUE(a.source.Clipping());
    const uint8_t none[] = {1, 2, 3};
    EXPECT_TRUE(LineClips(a.source, none, 3));  // stays set until cleared

    // Every fourth sample saturated: the counter of that phase reaches the absorbing state.
    a.source.SetClipping(false);
    std::vector<uint8_t> phase(32, 100);
    for (int i = 1; i < 32; i += 4)
        phase[i] = 255;
    EXPECT_TRUE(LineClips(a.source, phase.data(), 16));
}

// A line recorded at once gathers what its samples recorded one by one do, from the first
// sample after a reset (while the average fills) through lines shorter than the average.
TEST(LumaStatistics, ALineAtOnceRecordsWhatItsSamplesDo) {
    for (bool negative : {false, true}) {
        Analysis one, line;
        one.image.negative = line.image.negative = negative;
        uint32_t seed = 1;
        auto next = [&] { return (seed = seed * 1103515245 + 12345) >> 16; };
        for (int n : {3, 752, 5, 751, 1, 752}) {
            std::vector<int32_t> luma(n);
            std::vector<int8_t> chroma(n);
            for (int k = 0; k < n; ++k) {
                luma[k] = static_cast<int32_t>(next() % 400) - 60;
                chroma[k] = static_cast<int8_t>(next() % 256);
            }
            int previous = 0;
            for (int k = 0; k < n; ++k) {
                one.recorder.RecordSample(luma[k], k, chroma[k], previous);
                previous = chroma[k];
            }
            line.recorder.RecordLine(luma.data(), chroma.data(), n);
            const DecodeStatistics& a = one.image.statistics;
            const DecodeStatistics& b = line.image.statistics;
            ASSERT_EQ(a.lumaHistogram, b.lumaHistogram) << n;
            ASSERT_EQ(a.negativeCount, b.negativeCount) << n;
            ASSERT_EQ(a.negativeSumU, b.negativeSumU) << n;
            ASSERT_EQ(a.negativeSumV, b.negativeSumV) << n;
            ASSERT_EQ(one.image.whiteLevel, line.image.whiteLevel) << n;
            ASSERT_EQ(one.image.blackLevel, line.image.blackLevel) << n;
            ASSERT_EQ(one.recorder.Average().Average(), line.recorder.Average().Average()) << n;
        }
    }
}

// A line without burst leaves the average of the lines before it as it was.
TEST(BurstAverager, ALineWithoutBurstDoesNotDisturbIt) {
    BurstAverager averager;
    EXPECT_EQ(averager.SmoothedA(), 0.0);
    // 910-sample lines alternate between a burst and its inverse.
    averager.Push(0.6, 0.8, 2.0, 910, 0);
    averager.Push(-0.6, -0.8, 2.0, 910, 0);
    averager.Push(0.0, 1.0, 0.0, 910, 0);
    EXPECT_NEAR(averager.SmoothedA(), 0.6, 1e-12);
    EXPECT_NEAR(averager.SmoothedB(), 0.8, 1e-12);
}

}  // namespace
}  // namespace kivoly
