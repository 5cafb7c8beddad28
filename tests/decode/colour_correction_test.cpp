#include <gtest/gtest.h>

#include <vector>

#include "decode/internal/colour_correction.h"
#include "decode/yuv_image.h"

namespace kivoly {
namespace {

struct Picture {
    KivoGrabInfo info{};
    YuvImage image{info, nullptr};
    uint16_t counter = 0;

    uint8_t* Luma(int line) { return image.lineTable.Line(line); }
    int8_t* Chroma(int line) {
        return reinterpret_cast<int8_t*>(image.lineTable.Line(line) + kSampleWidth);
    }
    void Fill(int luma, int u, int v) {
        for (int l = 0; l < image.lineCount; ++l) {
            for (int j = 0; j < kSampleWidth; j += 2) {
                Luma(l)[j] = Luma(l)[j + 1] = static_cast<uint8_t>(luma);
                Chroma(l)[j] = static_cast<int8_t>(u);
                Chroma(l)[j + 1] = static_cast<int8_t>(v);
            }
        }
    }
    void Observe(int level, int count, int v, int u) {
        image.statistics.negativeCount[level] += count;
        image.statistics.negativeSumV[level] += v * count;
        image.statistics.negativeSumU[level] += u * count;
    }
};

TEST(ColourCorrection, NarrowRangeIsStretched) {
    Picture p;
    p.image.whiteLevel = 200;
    p.image.blackLevel = 100;
    p.Fill(100, 50, -50);
    p.Luma(3)[0] = 150;
    p.Luma(3)[1] = 150;
    EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
    EXPECT_EQ(p.Luma(0)[0], 76);
    EXPECT_EQ(p.Luma(3)[0], 150);
    EXPECT_EQ(p.Chroma(0)[0], 74);  // 50 x 1.48
    EXPECT_EQ(p.Chroma(0)[1], -74);
    EXPECT_EQ(p.counter, 0);  // no progress object: nothing counted
}

TEST(ColourCorrection, WideRangeKeepsLumaAndGain) {
    Picture p;
    p.image.whiteLevel = 220;
    p.image.blackLevel = 91;  // R = 129
    p.Fill(37, -128, 127);
    EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
    EXPECT_EQ(p.Luma(10)[4], 37);
    EXPECT_EQ(p.Chroma(10)[4], -127);
    EXPECT_EQ(p.Chroma(10)[5], 127);
}

TEST(ColourCorrection, EmptyOrInvertedRangeDoesNotDivideByZero) {
    for (int black : {150, 200}) {
        Picture p;
        p.image.whiteLevel = 150;
        p.image.blackLevel = static_cast<int16_t>(black);
        p.Fill(120, 20, -20);
        EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
        EXPECT_EQ(p.Luma(0)[0], 120);
        EXPECT_EQ(p.Chroma(0)[0], 20);
    }
}

TEST(ColourCorrection, CastPerLevelIsRemoved) {
    Picture p;
    p.image.whiteLevel = 224;
    p.image.blackLevel = 64;
    // The cast at level 50 is (V 10, U 6); at level 200 it is (V -10, U -6); the levels
    // between take the lower one's cast before smoothing.
    p.Observe(50, 1000, 10, 6);
    p.Observe(200, 1000, -10, -6);
    p.Fill(120, 6, 10);
    p.Luma(5)[0] = p.Luma(5)[1] = 210;
    p.Chroma(5)[0] = -6;
    p.Chroma(5)[1] = -10;
    p.Luma(6)[0] = p.Luma(6)[1] = 20;  // below the lowest level seen
    p.Chroma(6)[0] = 6;
    p.Chroma(6)[1] = 10;
    EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
    EXPECT_EQ(p.Chroma(0)[0], 0);
    EXPECT_EQ(p.Chroma(0)[1], 0);
    EXPECT_EQ(p.Chroma(5)[0], 0);
    EXPECT_EQ(p.Chroma(5)[1], 0);
    EXPECT_EQ(p.Chroma(6)[0], 0);
    EXPECT_EQ(p.Chroma(6)[1], 0);
    // The statistics are used up.
    EXPECT_EQ(p.image.statistics.negativeCount[50], 0);
    EXPECT_EQ(p.image.statistics.negativeSumV[200], 0);
}

TEST(ColourCorrection, SecondTableLumaIsMappedToo) {
    KivoGrabInfo info{};
    info.Quality = 3;
    YuvImage image(info, nullptr);
    image.whiteLevel = 200;
    image.blackLevel = 100;
    image.lineTable2.Line(7)[3] = 100;
    image.lineTable2.Line(7)[kSampleWidth + 3] = 50;
    uint16_t counter = 0;
    EXPECT_TRUE(CorrectColours(image, nullptr, counter));
    EXPECT_EQ(image.lineTable2.Line(7)[3], 76);
    EXPECT_EQ(image.lineTable2.Line(7)[kSampleWidth + 3], 50);
}

}  // namespace
}  // namespace kivoly
