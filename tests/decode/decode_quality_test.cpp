// Decode quality against the encoder's pictures: luma and chroma PSNR of the decoded picture,
// cropped as the RGB conversion crops it (8 samples at each side, from line 2), against the
// ideal decode of the encoded signal (a perfect separation) and against the source picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "sim/ntsc_timing.h"
#include "sim/picture.h"
#include "support/encoded_capture.h"
#include "support/plane_psnr.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

constexpr test::Crop kCrop{8, 2, 8, 0};

struct Planes {
    int lines = 0;
    std::vector<uint8_t> luma;
    std::vector<int8_t> chroma;  // U at even, V at odd positions
};

Planes PlanesOf(const YuvImage& image, const LineTable& table) {
    Planes p;
    p.lines = image.lineCount;
    for (int l = 0; l < image.lineCount; ++l) {
        const uint8_t* line = table.Line(l);
        p.luma.insert(p.luma.end(), line, line + kSampleWidth);
        p.chroma.insert(p.chroma.end(), reinterpret_cast<const int8_t*>(line) + kSampleWidth,
                        reinterpret_cast<const int8_t*>(line) + 2 * kSampleWidth);
    }
    return p;
}

// The source picture on the decoder's grid: output position k of a line shows picture column
// k - 1 of the 736-column picture the encoder scales to; decoded line L shows frame row L - 2
// (two fields) or 2L - 1 (one field).
Planes SourcePlanes(const sim::Picture& picture, int lines, bool twoFields) {
    const std::vector<float> rgb =
        sim::ScalePicture(picture, sim::kPictureWidth, sim::kPictureRows);
    Planes p;
    p.lines = lines;
    p.luma.resize(static_cast<size_t>(lines) * kSampleWidth);
    p.chroma.resize(p.luma.size());
    for (int l = 0; l < lines; ++l) {
        const int row = std::clamp(twoFields ? l - 2 : 2 * l - 1, 0, sim::kPictureRows - 1);
        for (int k = 0; k < kSampleWidth; ++k) {
            const int column = std::clamp(k - 1, 0, sim::kPictureWidth - 1);
            const float* px = &rgb[(static_cast<size_t>(row) * sim::kPictureWidth + column) * 3];
            const double r = px[0] / 255.0, g = px[1] / 255.0, b = px[2] / 255.0;
            const double y = 0.299 * r + 0.587 * g + 0.114 * b;
            const double c = k % 2 == 0 ? 148 * 0.492 * (b - y) : 148 * 0.877 * (r - y);
            const size_t at = static_cast<size_t>(l) * kSampleWidth + k;
            p.luma[at] = static_cast<uint8_t>(std::clamp(std::lround(76 + 148 * y), 0L, 255L));
            p.chroma[at] = static_cast<int8_t>(std::clamp(std::lround(c), -128L, 127L));
        }
    }
    return p;
}

Planes PlanesOf(const sim::IdealPlanes& ideal) {
    return {ideal.lines, ideal.y, ideal.chroma};
}

struct Figures {
    double lumaIdeal, chromaIdeal, lumaSource, chromaSource;
};

Figures Measure(const Planes& decoded, const Planes& ideal, const Planes& source) {
    const std::vector<uint8_t>& luma = decoded.luma;
    const std::vector<int8_t>& chroma = decoded.chroma;
    const int lines = decoded.lines;
    using test::Psnr;
    return {Psnr(std::span<const uint8_t>(luma), ideal.luma, kSampleWidth, lines, kCrop),
            Psnr(std::span<const int8_t>(chroma), ideal.chroma, kSampleWidth, lines, kCrop),
            Psnr(std::span<const uint8_t>(luma), source.luma, kSampleWidth, lines, kCrop),
            Psnr(std::span<const int8_t>(chroma), source.chroma, kSampleWidth, lines, kCrop)};
}

struct Expectation {
    const char* name;
    int quality;
    Figures least;  // thresholds, a little below what was measured
};

void Check(const sim::Picture& picture, const Expectation& e) {
    test::EncodedCapture capture = test::EncodeForQuality(picture, e.quality);
    MemoryRawSource source(capture.nsr);
    KivoGrabInfo info{};
    info.Quality = e.quality;
    info.UseColor = 1;
    info.CameraInput = 1;
    YuvImage image(info, nullptr);
    ASSERT_EQ(image.Decode(info, nullptr, nullptr, &source), DecodeOk);
    const Planes decoded = PlanesOf(image, image.lineTable);
    const Planes ideal = PlanesOf(capture.ideal.first);
    const Planes original = SourcePlanes(picture, image.lineCount, image.twoFields != 0);
    // Every quality is measured where the source lies: the single-frame decoder's picture lies
    // where the frame comb's does.
    const Figures f = Measure(decoded, ideal, original);
    std::printf("%-8s Q%d  luma %.2f / %.2f dB  chroma %.2f / %.2f dB (ideal / source)\n", e.name,
                e.quality, f.lumaIdeal, f.lumaSource, f.chromaIdeal, f.chromaSource);
    if (e.quality == 3) {
        // The second sample set, against the ideal decode at its own sampling positions.
        const Planes second = PlanesOf(image, image.lineTable2);
        const Figures g = Measure(second, PlanesOf(capture.ideal.second), original);
        std::printf("%-8s Q3  second set: luma %.2f dB  chroma %.2f dB (ideal)\n", e.name,
                    g.lumaIdeal, g.chromaIdeal);
        EXPECT_GE(g.lumaIdeal, e.least.lumaIdeal - 3) << e.name;
    }
    EXPECT_GE(f.lumaIdeal, e.least.lumaIdeal) << e.name << " Q" << e.quality;
    EXPECT_GE(f.chromaIdeal, e.least.chromaIdeal) << e.name << " Q" << e.quality;
    EXPECT_GE(f.lumaSource, e.least.lumaSource) << e.name << " Q" << e.quality;
    EXPECT_GE(f.chromaSource, e.least.chromaSource) << e.name << " Q" << e.quality;
}

TEST(DecodeQuality, NaturalPicture) {
    const sim::Picture picture = test::NaturalPicture();
    // Measured: Q0 43.31 / 46.76 / 43.00 / 44.97 ; Q1 and Q2 49.49 / 49.83 /
    // 48.53 / 47.03; Q3 48.04 / 49.85 / 47.30 / 47.06 (luma / chroma vs ideal, luma / chroma
    // vs source). The frame comb's luma reaches 54.5 dB against the ideal without the coring
    // of flat areas, which costs textures of under two levels.
    Check(picture, {"natural", 0, {42.8, 46.2, 42.5, 44.4}});
    Check(picture, {"natural", 1, {49.0, 49.3, 48.0, 46.5}});
    Check(picture, {"natural", 2, {49.0, 49.3, 48.0, 46.5}});
    Check(picture, {"natural", 3, {47.5, 49.3, 46.8, 46.5}});
}

TEST(DecodeQuality, ColourBars) {
    const sim::Picture picture = test::BarsPicture();
    // Measured: Q0 46.26 / 46.39 / 45.16 / 38.07 ; Q1 and Q2 52.68 / 42.79 /
    // 49.34 / 37.83; Q3 51.57 / 42.78 / 48.86 / 37.83. Chroma takes the missing axis of each
    // position from its neighbour, which shows at the sharp colour steps of the bars.
    Check(picture, {"bars", 0, {45.7, 45.8, 44.6, 37.5}});
    Check(picture, {"bars", 1, {52.1, 42.2, 48.8, 37.3}});
    Check(picture, {"bars", 2, {52.1, 42.2, 48.8, 37.3}});
    Check(picture, {"bars", 3, {51.0, 42.2, 48.3, 37.3}});
}

}  // namespace
}  // namespace kivoly
