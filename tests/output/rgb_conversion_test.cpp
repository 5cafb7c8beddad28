#include "output/rgb_conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
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

std::unique_ptr<YuvImage> Flat(int luma, int u = 0, int v = 0) {
    return Picture([=](int, int x) { return Sample{luma, (x & 1) ? v : u}; });
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

// The byte every pixel of a flat grey picture gets (checked for sameness across the row).
int FlatByte(YuvImage& yuv, const KivoProcessInfo& info, int row = 100) {
    const std::vector<uint8_t> out = Row(yuv, info, row);
    for (uint8_t byte : out)
        EXPECT_EQ(byte, out[0]);
    return out[0];
}

// Black at 76, white at the picture's white level (224 at least), counted down for a negative;
// the next picture with another white level gets its own tables.
TEST(RgbConversion, GreyLevelsRunFromBlackToTheWhiteLevel) {
    struct Case {
        int luma, white;
        bool negative;
        int byte;
    };
    for (const Case& c :
         {Case{0, 224, false, 0}, Case{76, 224, false, 0}, Case{225, 224, false, 255},
          Case{240, 240, false, 254}, Case{224, 224, false, 254}, Case{255, 224, false, 255},
          Case{76, 224, true, 255}, Case{255, 224, true, 0}}) {
        auto yuv = Flat(c.luma);
        yuv->whiteLevel = static_cast<int16_t>(c.white);
        yuv->negative = c.negative;
        EXPECT_EQ(FlatByte(*yuv, Settings(320, 240)), c.byte) << c.luma << " " << c.white;
    }
    auto grey = Flat(224);
    grey->whiteLevel = 240;
    EXPECT_LT(FlatByte(*grey, Settings(320, 240)), 254);
    // A negative's brightness still brightens.
    auto negative = Flat(150);
    negative->negative = 1;
    KivoProcessInfo info = Settings(320, 240);
    const int plain = FlatByte(*negative, info);
    info.Brightness = 20;
    EXPECT_GT(FlatByte(*negative, info), plain + 20);
}

// The gamma setting's exponent: 1 at 0, from a tenth at 50 to ten at -50.
TEST(RgbConversion, GammaExponentRunsFromATenthToTen) {
    EXPECT_DOUBLE_EQ(GammaExponent(0), 1.0);
    EXPECT_DOUBLE_EQ(GammaExponent(50), 0.1);
    EXPECT_DOUBLE_EQ(GammaExponent(-50), 10.0);
}

// Chroma that changes along the line and down the picture, within +-100.
Pattern Colourful(int sign) {
    return [=](int line, int x) {
        const int u = (x * 7 + line * 3) % 200 - 100;
        const int v = 60 - (x * 5 + line) % 160;
        return Sample{120 + (x % 50), sign * ((x & 1) ? v : u)};
    };
}

TEST(RgbConversion, Hue50NegatesBothChromaComponents) {
    // Rows that fall on stored lines, so that no interpolation rounds between the two.
    KivoProcessInfo rotated = Settings(640, 480);
    rotated.Hue = 50;
    const KivoProcessInfo plain = Settings(640, 480);
    auto picture = Picture(Colourful(1), true);
    auto negated = Picture(Colourful(-1), true);
    for (int row : {0, 77, 479}) {
        const std::vector<uint8_t> a = Row(*picture, rotated, row);
        const std::vector<uint8_t> b = Row(*negated, plain, row);
        // Pixel 0 also holds the chroma just left of the picture, which the pass leaves out.
        ASSERT_TRUE(std::equal(a.begin() + 3, a.end(), b.begin() + 3)) << row;
    }
}

TEST(RgbConversion, SaturationScalesChromaAndMinus50IsGrey) {
    KivoProcessInfo info = Settings(640, 480);
    info.Color = -50;
    auto picture = Picture(Colourful(1));
    const std::vector<uint8_t> out = Row(*picture, info, 123);
    for (int x = 0; x < 640; ++x) {
        ASSERT_EQ(out[3 * x], out[3 * x + 1]) << x;
        ASSERT_EQ(out[3 * x], out[3 * x + 2]) << x;
    }
    // Hue 0 and a positive Color keep each component in its place: red follows V, not U.
    info.Color = 10;
    auto reddish = Flat(150, 0, 40);
    const std::vector<uint8_t> red = Row(*reddish, info, 50);
    EXPECT_GT(red[3 * 300 + 2], red[3 * 300] + 40);
}

TEST(RgbConversion, ContrastBelowMinus16InvertsTheLumaCurve) {
    KivoProcessInfo info = Settings(320, 240);
    info.Contrast = -17;
    auto dark = Flat(100);
    auto light = Flat(200);
    dark->medianLevel = light->medianLevel = 150;
    EXPECT_GT(FlatByte(*dark, info), FlatByte(*light, info));
    info.Contrast = 30;
    EXPECT_LT(FlatByte(*dark, info), FlatByte(*light, info));
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

// Also with the contrast up about the median level, where the sharpening's gain is largest.
TEST(RgbConversion, SharpeningLeavesFlatAreasAndSteepensEdges) {
    for (const std::pair<int, int>& setting : {std::pair{0, 40}, std::pair{50, 10}}) {
        // Not a structured binding: clang 14 cannot capture one in the lambda below.
        const int contrast = setting.first, step = setting.second;
        auto edge = Picture([=](int, int x) {
            return Sample{x < 376 ? 140 - step : 140 + step, 0};
        });
        edge->medianLevel = 140;
        KivoProcessInfo info = Settings(640, 480);
        info.Contrast = contrast;
        const std::vector<uint8_t> plain = Row(*edge, info, 240);
        info.Sharpness = 50;
        const std::vector<uint8_t> sharp = Row(*edge, info, 240);
        info.Sharpness = -50;
        const std::vector<uint8_t> soft = Row(*edge, info, 240);
        EXPECT_EQ(sharp[3 * 100], plain[3 * 100]);
        EXPECT_EQ(sharp[3 * 600], plain[3 * 600]);
        auto swing = [](const std::vector<uint8_t>& row) {
            int most = 0;
            for (int x = 310; x < 340; ++x)
                most = std::max(most, std::abs(row[3 * x + 3] - row[3 * x]));
            return most;
        };
        EXPECT_GT(swing(sharp), swing(plain)) << contrast;
        EXPECT_LT(swing(soft), swing(plain)) << contrast;
        // Sharpening also overshoots: the dark side gets darker than the flat dark level.
        EXPECT_LT(*std::min_element(sharp.begin(), sharp.end()), plain[3 * 100]) << contrast;
    }
}

// The converter keeps its own full-length work lines, whatever output width the picture was made
// for.
TEST(RgbConversion, PicturesOfEitherWorkLineLengthConvertAlike) {
    auto withLines = Picture(Colourful(1));
    auto without = Picture(Colourful(1), false, 640);
    KivoProcessInfo info = Settings(640, 480);
    info.Sharpness = 20;
    info.Hue = 5;
    for (int row : {0, 241, 479})
        EXPECT_EQ(Row(*withLines, info, row), Row(*without, info, row));
}

TEST(RgbConversion, PreparationRefusesUnusableSizes) {
    auto one = Flat(100);
    EXPECT_TRUE(PrepareConversion(*one, Settings(640, 480)));
    for (const auto& [width, height] : {std::pair{640, 1}, {0, 480}, {100000, 480}})
        EXPECT_FALSE(PrepareConversion(*one, Settings(width, height))) << width << "x" << height;
}

}  // namespace
}  // namespace kivoly
