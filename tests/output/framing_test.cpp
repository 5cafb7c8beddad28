// One-field pictures (quality 0, 1) lie within half a pixel of the two-field one (quality 2):
// the least mean squared difference of green, refined by a parabola between whole pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "capture/memory_raw_source.h"
#include "decode/yuv_image.h"
#include "output/rgb_conversion.h"
#include "support/encoded_capture.h"
#include "support/test_pictures.h"

namespace kivoly {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kReach = 7;    // pixels searched each way
constexpr int kBorder = 24;  // pixels of the picture's edge left out

std::vector<double> GreenOf(const sim::Picture& picture, int quality) {
    const std::vector<uint8_t> nsr = test::EncodeForQuality(picture, quality).nsr;
    const KivoGrabInfo grab = test::ColourCameraGrab(quality);
    YuvImage image(grab, nullptr);
    MemoryRawSource source(nsr);
    EXPECT_EQ(image.Decode(grab, nullptr, nullptr, &source), DecodeOk);
    KivoProcessInfo info{};
    info.Width = kWidth;
    info.Height = kHeight;
    info.ColorCount = 16777216;
    EXPECT_TRUE(PrepareConversion(image, info));
    std::vector<double> green(kWidth * kHeight);
    std::vector<uint8_t> row(kWidth * 3);
    for (int r = 0; r < kHeight; ++r) {
        ConvertRow(image, row.data(), r, false);
        for (int x = 0; x < kWidth; ++x)
            green[r * kWidth + x] = row[x * 3 + 1];
    }
    return green;
}

// Mean squared difference of `moved` at (x + dx, y + dy) against `still` at (x, y).
double Difference(const std::vector<double>& still, const std::vector<double>& moved, int dx,
                  int dy) {
    double sum = 0;
    int n = 0;
    for (int y = kBorder; y < kHeight - kBorder; ++y) {
        for (int x = kBorder; x < kWidth - kBorder; ++x) {
            const double d = moved[(y + dy) * kWidth + x + dx] - still[y * kWidth + x];
            sum += d * d;
            ++n;
        }
    }
    return sum / n;
}

double Vertex(double before, double at, double after) {
    const double curve = before - 2 * at + after;
    return curve > 0 ? 0.5 * (before - after) / curve : 0.0;
}

struct Offset {
    double x;
    double y;
};

// Where the scene of `still` lies in `moved` (positive: right and down).
Offset OffsetOf(const std::vector<double>& still, const std::vector<double>& moved) {
    int bx = 0, by = 0;
    double best = Difference(still, moved, 0, 0);
    for (int dy = -kReach; dy <= kReach; ++dy) {
        for (int dx = -kReach; dx <= kReach; ++dx) {
            const double d = Difference(still, moved, dx, dy);
            if (d < best) {
                best = d;
                bx = dx;
                by = dy;
            }
        }
    }
    return {bx + Vertex(Difference(still, moved, bx - 1, by), best,
                        Difference(still, moved, bx + 1, by)),
            by + Vertex(Difference(still, moved, bx, by - 1), best,
                        Difference(still, moved, bx, by + 1))};
}

TEST(Framing, OneFieldPicturesLieWhereTheTwoFieldPictureLies) {
    const sim::Picture picture = test::NaturalPicture();
    const std::vector<double> still = GreenOf(picture, 2);
    for (int quality : {0, 1}) {
        const Offset o = OffsetOf(still, GreenOf(picture, quality));
        std::printf("quality %d: %+.2f px right, %+.2f px down of quality 2\n", quality, o.x, o.y);
        EXPECT_LE(std::fabs(o.x), 0.5) << "quality " << quality;
        EXPECT_LE(std::fabs(o.y), 0.5) << "quality " << quality;
    }
}

}  // namespace
}  // namespace kivoly
