#include "output/rgb_conversion.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "decode/yuv_image.h"

namespace kivoly {
namespace {

struct Sample {
    int luma;
    int chroma;  // U at even, V at odd positions
};
using Pattern = std::function<Sample(int line, int x)>;

std::unique_ptr<YuvImage> Picture(const Pattern& pattern, bool twoFields = false,
                                  uint16_t outputWidth = 0) {
    auto yuv = std::make_unique<YuvImage>(kSampleWidth, twoFields ? 484 : 242, twoFields, false,
                                          outputWidth);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            const Sample s = pattern(line, x);
            samples[x] = static_cast<uint8_t>(s.luma);
            samples[kSampleWidth + x] = static_cast<uint8_t>(static_cast<int8_t>(s.chroma));
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

// Chroma that changes along the line and down the picture, within +-100.
Pattern Colourful() {
    return [](int line, int x) {
        const int u = (x * 7 + line * 3) % 200 - 100;
        const int v = 60 - (x * 5 + line) % 160;
        return Sample{120 + (x % 50), (x & 1) ? v : u};
    };
}

// A store decoded again (the next capture, the next file of a batch) brings its own median
// level, about which the contrast turns: converted as a fresh picture would be.
TEST(RgbConversion, APictureDecodedAgainGetsTheContrastOfItsOwnMedianLevel) {
    const Pattern ramp = [](int, int x) { return Sample{80 + x % 140, 0}; };
    KivoProcessInfo info = Settings(640, 480);
    info.Contrast = 40;
    auto reused = Picture(ramp);
    reused->medianLevel = 100;
    Row(*reused, info, 240);
    reused->medianLevel = 170;
    auto fresh = Picture(ramp);
    fresh->medianLevel = 170;
    EXPECT_EQ(Row(*reused, info, 240), Row(*fresh, info, 240));
}

// The converter keeps its own full-length work lines, whatever output width the picture was made
// for.
TEST(RgbConversion, PicturesOfEitherWorkLineLengthConvertAlike) {
    auto withLines = Picture(Colourful());
    auto without = Picture(Colourful(), false, 640);
    KivoProcessInfo info = Settings(640, 480);
    info.Sharpness = 20;
    info.Hue = 5;
    for (int row : {0, 241, 479})
        EXPECT_EQ(Row(*withLines, info, row), Row(*without, info, row));
}

TEST(RgbConversion, PreparationRefusesUnusableSizes) {
    auto one = Picture([](int, int) { return Sample{100, 0}; });
    EXPECT_TRUE(PrepareConversion(*one, Settings(640, 480)));
    for (const auto& [width, height] : {std::pair{640, 1}, {0, 480}, {100000, 480}})
        EXPECT_FALSE(PrepareConversion(*one, Settings(width, height))) << width << "x" << height;
}

}  // namespace
}  // namespace kivoly
