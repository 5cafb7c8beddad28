// From a picture to a bitmap and back to the picture: encode to composite, decode, convert at
// each output size, and compare with the source on the conversion's grid (RGB PSNR).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "output/rgb_conversion.h"
#include "sim/ntsc_timing.h"
#include "sim/picture.h"
#include "support/encoded_capture.h"
#include "support/plane_psnr.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

struct Size {
    int width;
    int height;
};
constexpr Size kSizes[] = {{320, 240}, {640, 480}, {1500, 1125}};

// The source as the conversion lays it out: output column x covers picture columns
// [x w / W, (x + 1) w / W) of the encoder's 736-column picture; output row r lies at frame row
// r x 479 / (H - 1), whether the picture holds one field or two.
std::vector<uint8_t> SourceOnGrid(const std::vector<float>& frame, Size size) {
    const int w = sim::kPictureWidth;
    const int rows = sim::kPictureRows;
    std::vector<uint8_t> out(static_cast<size_t>(size.width) * size.height * 3);
    for (int r = 0; r < size.height; ++r) {
        const double t = double(r) / (size.height - 1);
        const double y = t * 479;
        const int y0 = std::clamp(static_cast<int>(y), 0, rows - 1);
        const int y1 = std::min(y0 + 1, rows - 1);
        const double fy = std::clamp(y - y0, 0.0, 1.0);
        for (int x = 0; x < size.width; ++x) {
            const double left = double(x) * w / size.width;
            const double right = double(x + 1) * w / size.width;
            double sum[3] = {};
            double weight = 0;
            for (int c = static_cast<int>(left); c < right && c < w; ++c) {
                const double cover = std::min<double>(c + 1, right) - std::max<double>(c, left);
                for (int k = 0; k < 3; ++k) {
                    const float a = frame[(size_t(y0) * w + c) * 3 + k];
                    const float b = frame[(size_t(y1) * w + c) * 3 + k];
                    sum[k] += cover * (a + fy * (b - a));
                }
                weight += cover;
            }
            for (int k = 0; k < 3; ++k) {
                out[(size_t(r) * size.width + x) * 3 + k] =
                    static_cast<uint8_t>(std::clamp(std::lround(sum[k] / weight), 0L, 255L));
            }
        }
    }
    return out;
}

// Converts every row (top first) into R, G, B.
std::vector<uint8_t> Convert(YuvImage& yuv, Size size) {
    KivoProcessInfo info = {};
    info.Width = size.width;
    info.Height = size.height;
    info.ColorCount = 16777216;
    EXPECT_TRUE(PrepareConversion(yuv, info));
    std::vector<uint8_t> out(static_cast<size_t>(size.width) * size.height * 3);
    std::vector<uint8_t> row(3 * size.width);
    for (int r = 0; r < size.height; ++r) {
        ConvertRow(yuv, row.data(), r, false);
        for (int x = 0; x < size.width; ++x) {
            uint8_t* px = &out[(size_t(r) * size.width + x) * 3];
            px[0] = row[3 * x + 2];
            px[1] = row[3 * x + 1];
            px[2] = row[3 * x];
        }
    }
    return out;
}

struct Expected {
    int quality;
    double least[3];  // dB at 320 x 240, 640 x 480, 1500 x 1125
};

void RoundTrip(const char* name, const sim::Picture& picture, const Expected& e) {
    ASSERT_FALSE(picture.Empty());
    const test::EncodedCapture capture = test::EncodeForQuality(picture, e.quality);
    MemoryRawSource source(capture.nsr);
    KivoGrabInfo info = {};
    info.Quality = e.quality;
    info.UseColor = 1;
    info.CameraInput = 1;
    YuvImage yuv(info, nullptr);
    ASSERT_TRUE(yuv.HasLines());
    ASSERT_EQ(yuv.Decode(info, nullptr, nullptr, &source), DecodeOk);
    const std::vector<float> frame =
        sim::ScalePicture(picture, sim::kPictureWidth, sim::kPictureRows);
    for (int i = 0; i < 3; ++i) {
        const Size size = kSizes[i];
        const std::vector<uint8_t> converted = Convert(yuv, size);
        const std::vector<uint8_t> expected = SourceOnGrid(frame, size);
        // The outermost 2 % of the picture hold the decoder's and the encoder's edges.
        const int side = size.width / 50;
        const int top = size.height / 50;
        const double psnr =
            test::PsnrRgb(converted, expected, size.width, size.height, {side, top, side, top});
        std::printf("%-8s Q%d  %4d x %-4d  RGB %.2f dB\n", name, e.quality, size.width, size.height,
                    psnr);
        EXPECT_GE(psnr, e.least[i]) << name << " Q" << e.quality << " " << size.width;
    }
}

TEST(EndToEnd, NaturalPictureAtEverySizeAndQuality) {
    const sim::Picture picture = test::NaturalPicture();
    for (const Expected& e : {Expected{0, {34.0, 33.2, 33.5}}, Expected{1, {34.5, 33.5, 33.5}},
                              Expected{2, {34.5, 34.5, 34.0}}, Expected{3, {32.0, 31.5, 31.0}}}) {
        RoundTrip("natural", picture, e);
    }
}

TEST(EndToEnd, ColourBarsAtEverySizeAndQuality) {
    const sim::Picture picture = test::BarsPicture();
    for (const Expected& e : {Expected{0, {29.5, 27.9, 27.8}}, Expected{1, {28.1, 26.8, 26.6}},
                              Expected{2, {28.0, 27.5, 27.0}}}) {
        RoundTrip("bars", picture, e);
    }
}

}  // namespace
}  // namespace kivoly
