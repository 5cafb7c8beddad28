#include "sim/internal/preview_scan.h"

#include <algorithm>
#include <cmath>

#include "sim/ntsc_timing.h"

namespace kivoly::sim {

namespace {

constexpr int kPorchSamples = 8;
constexpr double kPorchFirst = -20.0;
constexpr double kPorchStep = 2.0;
constexpr double kSyncFirst = 4.0;
constexpr int kLeadSamples = 101;  // sync tip to picture: the read-out's 4 low pairs and skip 96
constexpr int kPictureSamples = 320;
constexpr double kPictureStep = static_cast<double>(kPictureWidth) / kPictureSamples;
// Column c is centred on line sample kPictureStart + c: the first stored picture sample sits
// half a step right of the picture's left edge.
constexpr double kPictureFirst = kPictureStart - 0.5 + kPictureStep / 2;
constexpr double kRightEdge = 888.5;

// Where stored sample k of a line of `count` samples is taken, in line samples.
double Place(int k, int count) {
    const int lead = kPorchSamples;
    const int picture = lead + kLeadSamples;
    const int right = picture + kPictureSamples;
    if (k < lead) return kPorchFirst + kPorchStep * k;
    if (k < picture) {
        return kSyncFirst + (kPictureFirst - kSyncFirst) * (k - lead) / kLeadSamples;
    }
    if (k < right) return kPictureFirst + kPictureStep * (k - picture);
    const double end = kPictureFirst + kPictureStep * kPictureSamples;
    return end + (kRightEdge - end) * (k - right) / std::max(1, count - 1 - right);
}

}  // namespace

void ScanPreviewLine(std::span<const uint8_t> line, std::span<uint8_t> out) {
    const int count = static_cast<int>(out.size());
    auto at = [&](double place) {
        const double x = place - kScanFirst;
        const int i = std::clamp(static_cast<int>(std::floor(x)), 0, kScanSamples - 2);
        const double f = x - i;
        return line[i] + f * (line[i + 1] - line[i]);
    };
    for (int k = 0; k < count; ++k) {
        const double centre = Place(k, count);
        double sum = 0;
        for (double d : {-1.5, -0.5, 0.5, 1.5})
            sum += at(centre + d);
        out[k] = static_cast<uint8_t>(std::clamp(std::lround(sum / 4), 0L, 255L));
    }
}

}  // namespace kivoly::sim
