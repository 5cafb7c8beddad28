// The capture store is kept for a capture it fits and replaced otherwise; the recorder's average.
#include "decode/yuv_image.h"

#include <gtest/gtest.h>

#include "decode/internal/level_recorder.h"

namespace kivoly {
namespace {

KivoGrabInfo Quality(int quality) {
    KivoGrabInfo info{};
    info.Quality = quality;
    info.UseColor = 1;
    return info;
}

KivoProcessInfo Width(int width) {
    KivoProcessInfo info{};
    info.Width = width;
    return info;
}

TEST(YuvImageStorage, ReuseOrCreateKeepsMatchingImages) {
    const KivoProcessInfo w640 = Width(640);
    YuvImage* image = YuvImage::ReuseOrCreate(nullptr, Quality(2), &w640);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->lineCount, 484);
    EXPECT_EQ(YuvImage::ReuseOrCreate(image, Quality(2), &w640), image);
    // Without records the existing output width counts.
    EXPECT_EQ(YuvImage::ReuseOrCreate(image, Quality(2), nullptr), image);

    YuvImage* replaced = YuvImage::ReuseOrCreate(image, Quality(1), &w640);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->lineCount, 242);
    const KivoProcessInfo w1500 = Width(1500);
    YuvImage* wider = YuvImage::ReuseOrCreate(replaced, Quality(1), &w1500);
    ASSERT_NE(wider, nullptr);
    EXPECT_EQ(wider->outputWidth, 1500);
    delete wider;
}

TEST(MovingAverage8, RoundsToNearestOverItsWindow) {
    MovingAverage8 m;
    EXPECT_EQ(m.Average(), 0);
    m.Push(1);
    m.Push(2);
    EXPECT_EQ(m.Average(), 2);  // (3 + 1) / 2
    m.Reset(0, 0);
    m.Push(-5);
    m.Push(0);
    EXPECT_EQ(m.Average(), -2);  // (-5 + 1) / 2 truncates toward zero
    m.Reset(10, -1);
    m.Push(18);  // replaces the oldest 10
    EXPECT_EQ(m.Average(), 11);
    m.Reset(3, 3);
    EXPECT_EQ(m.Average(), 3);
}

}  // namespace
}  // namespace kivoly
