#include "output/rgb_conversion.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "decode/yuv_image.h"

namespace kivoly {
namespace {

// A grey picture whose luma runs along each line in a ramp: 80 up to 219, over and over.
std::unique_ptr<YuvImage> Ramp() {
    auto yuv = std::make_unique<YuvImage>(kSampleWidth, 242, false, false, 0);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            samples[x] = static_cast<uint8_t>(80 + x % 140);
            samples[kSampleWidth + x] = 0;
        }
    }
    return yuv;
}

KivoProcessInfo Settings(int width, int height) {
    KivoProcessInfo info = {};
    info.Width = width;
    info.Height = height;
    info.ColorCount = 16777216;
    return info;
}

std::vector<uint8_t> Row(YuvImage& yuv, const KivoProcessInfo& info, int row) {
    std::vector<uint8_t> out(3 * info.Width);
    EXPECT_TRUE(PrepareConversion(yuv, info));
    ConvertRow(yuv, out.data(), row, false);
    return out;
}

// A store decoded again (the next capture, the next file of a batch) brings its own median
// level, about which the contrast turns: converted as a fresh picture would be.
TEST(RgbConversion, APictureDecodedAgainGetsTheContrastOfItsOwnMedianLevel) {
    KivoProcessInfo info = Settings(640, 480);
    info.Contrast = 40;
    auto reused = Ramp();
    reused->medianLevel = 100;
    Row(*reused, info, 240);
    reused->medianLevel = 170;
    auto fresh = Ramp();
    fresh->medianLevel = 170;
    EXPECT_EQ(Row(*reused, info, 240), Row(*fresh, info, 240));
}

TEST(RgbConversion, PreparationRefusesUnusableSizes) {
    auto one = Ramp();
    EXPECT_TRUE(PrepareConversion(*one, Settings(640, 480)));
    for (const auto& [width, height] : {std::pair{640, 1}, {0, 480}, {100000, 480}})
        EXPECT_FALSE(PrepareConversion(*one, Settings(width, height))) << width << "x" << height;
}

}  // namespace
}  // namespace kivoly
