#include "decode/yuv_image.h"
#include "decode/internal/level_recorder.h"

#include <gtest/gtest.h>

#include <cstring>

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

TEST(YuvImageGeometry, QualityChoosesLinesAndTables) {
    for (int q : {0, 1}) {
        YuvImage image(Quality(q), nullptr);
        EXPECT_EQ(image.lineCount, 242);
        EXPECT_FALSE(image.twoFields);
        EXPECT_EQ(image.lineTable2.entries, nullptr);
    }
    YuvImage two(Quality(2), nullptr);
    EXPECT_EQ(two.lineCount, 484);
    EXPECT_TRUE(two.twoFields);
    EXPECT_FALSE(two.doubleSampled);
    EXPECT_EQ(two.lineTable2.entries, nullptr);

    const KivoProcessInfo narrow = Width(640);
    YuvImage doubled(Quality(3), &narrow);
    EXPECT_EQ(doubled.lineCount, 484);
    EXPECT_TRUE(doubled.doubleSampled);
    ASSERT_NE(doubled.lineTable2.entries, nullptr);
    EXPECT_NE(doubled.lineTable2.Line(0), doubled.lineTable.Line(0));
    EXPECT_EQ(doubled.workLineBytes, 1504);
    for (auto* w : doubled.workLines)
        EXPECT_NE(w, nullptr);
}

TEST(YuvImageGeometry, OutputWidthChoosesWorkLines) {
    for (int width : {320, 640}) {
        const KivoProcessInfo info = Width(width);
        YuvImage image(Quality(2), &info);
        EXPECT_EQ(image.outputWidth, width);
        EXPECT_EQ(image.workLineBytes, 752);
        for (auto* w : image.workLines)
            EXPECT_EQ(w, nullptr);
    }
    const KivoProcessInfo wide = Width(1500);
    YuvImage image(Quality(1), &wide);
    EXPECT_EQ(image.workLineBytes, 1504);
    for (auto* w : image.workLines)
        EXPECT_NE(w, nullptr);
    YuvImage noInfo(Quality(1), nullptr);
    EXPECT_EQ(noInfo.outputWidth, 0);
    EXPECT_EQ(noInfo.workLineBytes, 1504);
}

TEST(YuvImageStorage, ReuseOrCreateKeepsMatchingImages) {
    const KivoProcessInfo w640 = Width(640);
    YuvImage* image = YuvImage::ReuseOrCreate(nullptr, Quality(2), &w640);
    ASSERT_NE(image, nullptr);
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
    EXPECT_EQ(wider->workLineBytes, 1504);
    delete wider;
}

TEST(ChunkBuffer, ReleasesOnlyTheWindowItAllocated) {
    ChunkBuffer chunk;
    ASSERT_TRUE(chunk.Ensure());
    EXPECT_TRUE(chunk.Owned());
    EXPECT_EQ(chunk.End() - chunk.Data(), kChunkBytes);
    uint8_t* first = chunk.Data();
    EXPECT_TRUE(chunk.Ensure());
    EXPECT_EQ(chunk.Data(), first);

    chunk.SetOwned(false);
    chunk.ReleaseOwned();
    EXPECT_EQ(chunk.Data(), first);
    chunk.SetOwned(true);
    chunk.ReleaseOwned();
    EXPECT_EQ(chunk.Data(), nullptr);
    EXPECT_EQ(chunk.End(), nullptr);
    EXPECT_FALSE(chunk.Owned());
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
    EXPECT_EQ(m.count, 8);
    EXPECT_EQ(m.sum, 80);
    m.Push(18);  // replaces the oldest 10
    EXPECT_EQ(m.sum, 88);
    EXPECT_EQ(m.Average(), 11);
    m.Reset(3, 3);
    EXPECT_EQ(m.count, 3);
    EXPECT_EQ(m.index, 3);
    EXPECT_EQ(m.Average(), 3);
}

}  // namespace
}  // namespace kivoly
