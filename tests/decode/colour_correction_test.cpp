#include <gtest/gtest.h>

#include <vector>

#include "decode/internal/colour_correction.h"
#include "decode/yuv_image.h"
#include "support/encoded_capture.h"

namespace kivoly {
namespace {

// A picture with a second line table, as quality 3 makes.
struct Picture {
    KivoGrabInfo info = test::ColourCameraGrab(3);
    YuvImage image{info, nullptr};
    uint16_t counter = 0;

    uint8_t* Luma(int line) { return image.lineTable.Line(line); }
    int8_t* Chroma(int line) {
        return reinterpret_cast<int8_t*>(image.lineTable.Line(line) + kSampleWidth);
    }
    // The pair of samples at j: luma twice, U and V.
    void Set(int l, int j, int luma, int u, int v) {
        Luma(l)[j] = Luma(l)[j + 1] = static_cast<uint8_t>(luma);
        Chroma(l)[j] = static_cast<int8_t>(u);
        Chroma(l)[j + 1] = static_cast<int8_t>(v);
    }
    void Fill(int luma, int u, int v) {
        for (int l = 0; l < image.lineCount; ++l) {
            for (int j = 0; j < kSampleWidth; j += 2)
                Set(l, j, luma, u, v);
            image.lineTable2.Line(l)[4] = static_cast<uint8_t>(luma);
            image.lineTable2.Line(l)[kSampleWidth + 4] = static_cast<uint8_t>(u);
        }
    }
};

// A narrow luma range is stretched to black and white and the chroma by its ratio (x 1.48
// here); a wide one keeps its luma and gain; an empty or inverted one does not divide by zero.
TEST(ColourCorrection, LumaRangeIsStretchedToBlackAndWhite) {
    struct Case {
        int white, black, luma, u, v, lumaOut, uOut, vOut;
    };
    for (const Case c : {Case{200, 100, 100, 50, -50, 76, 74, -74},
                         {200, 100, 150, 50, -50, 150, 74, -74},
                         {220, 91, 37, -128, 127, 37, -127, 127},
                         {150, 150, 120, 20, -20, 120, 20, -20},
                         {150, 200, 120, 20, -20, 120, 20, -20}}) {
        Picture p;
        p.image.whiteLevel = static_cast<int16_t>(c.white);
        p.image.blackLevel = static_cast<int16_t>(c.black);
        p.Fill(c.luma, c.u, c.v);
        EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
        for (const int l : {0, p.image.lineCount - 1}) {
            EXPECT_EQ(p.Luma(l)[4], c.lumaOut) << c.white << " " << c.black << " " << c.luma;
            EXPECT_EQ(p.Chroma(l)[4], c.uOut) << c.white << " " << c.black;
            EXPECT_EQ(p.Chroma(l)[5], c.vOut) << c.white << " " << c.black;
            // The second sample set's luma is mapped too; its chroma is not used.
            EXPECT_EQ(p.image.lineTable2.Line(l)[4], c.lumaOut);
            EXPECT_EQ(static_cast<int8_t>(p.image.lineTable2.Line(l)[kSampleWidth + 4]), c.u);
        }
        EXPECT_EQ(p.counter, 0);  // no progress object: nothing counted
    }
}

// The cast at level 50 is (V 10, U 6), at level 200 (V -10, U -6); the levels between take the
// lower one's cast before smoothing, those below 50 take level 50's.
TEST(ColourCorrection, CastPerLevelIsRemoved) {
    Picture p;
    p.image.whiteLevel = 224;
    p.image.blackLevel = 64;
    DecodeStatistics& s = p.image.statistics;
    for (const int level : {50, 200}) {
        const int sign = level == 50 ? 1 : -1;
        s.negativeCount[level] = 1000;
        s.negativeSumV[level] = sign * 10000;
        s.negativeSumU[level] = sign * 6000;
    }
    p.Fill(120, 6, 10);
    p.Set(5, 0, 210, -6, -10);
    p.Set(6, 0, 20, 6, 10);
    EXPECT_TRUE(CorrectColours(p.image, nullptr, p.counter));
    for (const int l : {0, 5, 6})
        EXPECT_TRUE(p.Chroma(l)[0] == 0 && p.Chroma(l)[1] == 0) << l;
    EXPECT_EQ(s.negativeCount[50], 0);  // the statistics are used up
}

}  // namespace
}  // namespace kivoly
