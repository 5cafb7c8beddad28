#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/frame_comb.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
#include "decode/internal/luma_smoothers.h"
#include "decode/synthetic_video.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// The frame comb decoding lines of a picture from two hand-made fields held in memory.
struct TwoFrames {
    KivoGrabInfo info{};
    YuvImage image{info, nullptr};
    MemoryRawSource source{{}};
    LineAligner aligner;
    LevelRecorder recorder{image};
    FrameComb comb;
    std::vector<uint8_t> first;
    std::vector<uint8_t> second;
    int lineStart = 0;  // a line start in both fields
    BurstAverager averager;

    explicit TwoFrames(testing::SyntheticVideo video)
        : comb(aligner, source, recorder, image.statistics, true) {
        image.ResetLevels();
        first = video.Field(20000);
        video.inversion = -video.inversion;
        second = video.Field(20000);
        lineStart = 1520 - 8 + 3 * 910;
    }
    uint8_t* Decode(int line, int secondStart) {
        uint8_t* stored = image.lineTable.Line(line);
        std::memset(stored, 0, 2);
        std::memcpy(stored + 2, first.data() + lineStart, kRawLineSamples);
        comb.DecodeFrameLine(stored, second.data() + secondStart, averager);
        return stored;
    }
};

const int8_t* Chroma(const uint8_t* line) {
    return reinterpret_cast<const int8_t*>(line + kSampleWidth);
}

TEST(FrameCombLine, GreyPairGivesTheSamplesAndNoChroma) {
    testing::SyntheticVideo video;
    video.luma = [](int, int i) { return 60 + (i / 50) * 10; };  // steps of 10 levels
    TwoFrames comb(video);
    const uint8_t* line = comb.Decode(0, comb.lineStart);
    for (int k = 0; k < kSampleWidth; ++k) {
        ASSERT_EQ(Chroma(line)[k], 0) << k;
        // Output k is line sample 140 + k; the picture starts at line sample 135.
        // Within three samples of a step the triangular smoothing may take over.
        const int picture = k + 5;
        if (picture < 750 && picture % 50 >= 3 && picture % 50 < 47) {
            ASSERT_EQ(line[k], 60 + (picture / 50) * 10) << k;
        }
    }
    EXPECT_EQ(comb.image.statistics.currentLine, 1);
    int recorded = 0;
    for (int count : comb.image.statistics.lumaHistogram)
        recorded += count;
    EXPECT_EQ(recorded, kSampleWidth);
}

TEST(FrameCombLine, SecondFrameIsBroughtOntoTheInverseBurst) {
    testing::SyntheticVideo video;
    video.u = 12;
    video.v = -7;
    video.luma = [](int, int i) { return 70 + (i * 3) % 120; };
    TwoFrames aligned(video);
    const uint8_t* decoded = aligned.Decode(0, aligned.lineStart);
    const std::vector<uint8_t> want(decoded, decoded + kLineBytes - 2);
    EXPECT_EQ(Chroma(want.data())[300], 12);
    EXPECT_EQ(Chroma(want.data())[301], -7);
    // A sample early or late is moved one sample on, half a cycle off two: the same result.
    for (const int offset : {-1, 1, -2}) {
        TwoFrames off(video);
        EXPECT_EQ(std::memcmp(off.Decode(0, off.lineStart + offset), want.data(), want.size()), 0)
            << offset;
    }
}

TEST(FrameCombLine, FlatNoiseIsSmoothedAndEdgesKept) {
    testing::SyntheticVideo video;
    video.luma = [](int, int i) { return i < 400 ? 100 + (i % 2) : 180; };
    TwoFrames comb(video);
    const uint8_t* line = comb.Decode(0, comb.lineStart);
    // 100/101 alternating: the seven-tap mean (100.5) within two levels replaces it.
    EXPECT_EQ(line[100], 100);
    EXPECT_EQ(line[101], 100);
    const int edge = 400 - 5;  // first output position of the bright part
    EXPECT_EQ(line[edge - 1], 101);
    EXPECT_EQ(line[edge], 180);
    EXPECT_EQ(line[edge + 1], 180);
}

TEST(FrameCombLine, SaturatedSamplesAreRepairedFromTheOtherFrame) {
    testing::SyntheticVideo video;
    video.v = 40;  // 230 + 40 clips at 255 on the +V samples of the first frame
    video.luma = [](int, int) { return 230; };
    TwoFrames comb(video);
    const uint8_t* line = comb.Decode(0, comb.lineStart);
    EXPECT_TRUE(comb.source.Clipping());
    // The clipped 255 is estimated as 270 from the other frame and its neighbours, so luma and
    // chroma come out whole (without the repair: 222 and 33).
    EXPECT_EQ(line[300], 230);
    EXPECT_EQ(Chroma(line)[301], 40);
    EXPECT_EQ(Chroma(line)[300], 0);
}

TEST(LumaSmoothers, CoringAlongALine) {
    std::vector<uint8_t> luma(kLineBytes, 0);
    for (int j = 0; j < kSampleWidth; ++j)
        luma[j] = 100;
    luma[10] = 102;  // within 2 levels of its neighbourhood: smoothed
    luma[20] = 140;  // an edge: kept
    luma[751] = 90;
    SmoothLumaLine(luma.data());
    EXPECT_EQ(luma[10], 101);  // (100 + 204 + 100) >> 2
    EXPECT_EQ(luma[9], 100);
    EXPECT_EQ(luma[20], 140);
    EXPECT_EQ(luma[750], 100);  // 4 x 100 - (100 + 200 + 90) = 10: outside the band
    EXPECT_EQ(luma[751], 90);   // the last sample is not smoothed
}

TEST(LumaSmoothers, MergeTakesNeighboursFromTheOtherSet) {
    // (104 + 200 + 104) / 4 = 102 lies 8 from 400 / 4: outside the coring band, kept.
    std::vector<uint8_t> first(kSampleWidth, 100), second(kSampleWidth, 104);
    MergeSampleSets(second.data(), first.data());
    EXPECT_EQ(first[5], 100);
    std::vector<uint8_t> f2(kSampleWidth, 100), s2(kSampleWidth, 102);
    MergeSampleSets(s2.data(), f2.data());
    EXPECT_EQ(f2[5], 101);    // (102 + 200 + 102) >> 2
    EXPECT_EQ(s2[5], 101);    // (100 + 204 + 100) >> 2
    EXPECT_EQ(f2[0], 100);    // (100 + 200 + 102) >> 2 with first[0] standing left of it
    EXPECT_EQ(s2[751], 102);  // the last of the second set is not merged
}

}  // namespace
}  // namespace kivoly
