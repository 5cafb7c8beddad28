#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/frame_comb.h"
#include "decode/internal/level_recorder.h"
#include "decode/internal/line_aligner.h"
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

}  // namespace
}  // namespace kivoly
