// The capture store is kept for a capture it fits and replaced otherwise; the recorder's average.
#include "decode/yuv_image.h"

#include <gtest/gtest.h>

#include "decode/internal/level_recorder.h"
#include "support/encoded_capture.h"

namespace kivoly {
namespace {

TEST(YuvImageStorage, ReuseOrCreateKeepsMatchingImages) {
    KivoProcessInfo w640{}, w1500{};
    w640.Width = 640;
    w1500.Width = 1500;
    YuvImage* image = YuvImage::ReuseOrCreate(nullptr, test::ColourCameraGrab(2), &w640);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->lineCount, 484);
    EXPECT_EQ(YuvImage::ReuseOrCreate(image, test::ColourCameraGrab(2), &w640), image);
    // Without records the existing output width counts.
    EXPECT_EQ(YuvImage::ReuseOrCreate(image, test::ColourCameraGrab(2), nullptr), image);

    YuvImage* replaced = YuvImage::ReuseOrCreate(image, test::ColourCameraGrab(1), &w640);
    ASSERT_NE(replaced, nullptr);
    EXPECT_EQ(replaced->lineCount, 242);
    YuvImage* wider = YuvImage::ReuseOrCreate(replaced, test::ColourCameraGrab(1), &w1500);
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
