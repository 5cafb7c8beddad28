#include "sim/colour_bar_signal.h"

#include <algorithm>
#include <cmath>

namespace kivoly::sim {

namespace {
constexpr int kSyncLevel = 16;
constexpr int kBlankLevel = 64;
constexpr int kBlackLevel = 76;
constexpr int kWhiteLevel = 224;
constexpr int kSyncWidth = 67;        // 4.7 us
constexpr int kEqualisingWidth = 33;  // 2.3 us
constexpr int kSerrationWidth = 67;
constexpr int kBurstStart = 76;    // 5.3 us
constexpr int kBurstLength = 36;   // nine cycles
constexpr int kActiveStart = 156;  // 10.9 us
constexpr int kActiveEnd = 896;
constexpr int64_t kHalfLine = kSamplesPerLine / 2;
constexpr int64_t kSamplesPerFrame = 2 * kSamplesPerField;
constexpr int64_t kCaptureDelay = 11204;

// 75 % bars: white, yellow, cyan, green, magenta, red, blue.
constexpr double kBars[7][3] = {{.75, .75, .75}, {.75, .75, 0}, {0, .75, .75}, {0, .75, 0},
                                {.75, 0, .75},   {.75, 0, 0},   {0, 0, .75}};

std::vector<uint8_t> MakeLine(int phase, bool picture) {
    std::vector<uint8_t> line(kSamplesPerLine, kBlankLevel);
    for (int x = 0; x < kSamplesPerLine; ++x) {
        // At four samples a cycle the subcarrier angle moves a quarter turn per sample.
        const double angle = (phase + x) * M_PI / 2;
        double value = kBlankLevel;
        if (x < kSyncWidth) {
            value = kSyncLevel;
        } else if (x >= kBurstStart && x < kBurstStart + kBurstLength) {
            value = kBlankLevel - 32 * std::sin(angle);  // burst on the -U axis
        } else if (picture && x >= kActiveStart && x < kActiveEnd) {
            const double* rgb = kBars[(x - kActiveStart) * 7 / (kActiveEnd - kActiveStart)];
            const double y = 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2];
            const double u = 0.492 * (rgb[2] - y);
            const double v = 0.877 * (rgb[0] - y);
            const double scale = kWhiteLevel - kBlackLevel;
            value = kBlackLevel + scale * (y + u * std::sin(angle) + v * std::cos(angle));
        }
        line[x] = static_cast<uint8_t>(std::clamp(std::lround(value), 1L, 254L));
    }
    return line;
}
}  // namespace

ColourBarSignal::ColourBarSignal() {
    for (int phase = 0; phase < 4; ++phase) {
        pictureLines_[phase] = MakeLine(phase, true);
        blankLines_[phase] = MakeLine(phase, false);
    }
}

double ColourBarSignal::CaptureStart(int64_t field, int) {
    // A dozen lines after the field's broad pulses begin.
    return static_cast<double>(field * kSamplesPerField + 3 * kSamplesPerLine + kCaptureDelay);
}

void ColourBarSignal::Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) {
    const double step = static_cast<double>(kSamplesPerLine) / samplesPerLine;
    for (std::size_t i = 0; i < count; ++i) {
        const double position = time + static_cast<double>(i) * step;
        const int64_t left = static_cast<int64_t>(std::floor(position));
        const double fraction = position - static_cast<double>(left);
        if (fraction == 0) {
            out[i] = At(left);
        } else {
            const double a = At(left);
            out[i] = static_cast<uint8_t>(std::lround(a + (At(left + 1) - a) * fraction));
        }
    }
}

uint8_t ColourBarSignal::At(int64_t n) const {
    const int64_t framePos = n % kSamplesPerFrame;
    const int64_t halfLine = framePos / kHalfLine;
    // The vertical interval: six equalising, six broad, six equalising half lines.
    const int64_t interval = halfLine >= 525 ? halfLine - 525 : halfLine;
    if (interval < 18) {
        const int64_t x = framePos % kHalfLine;
        const bool broad = interval >= 6 && interval < 12;
        const bool low = broad ? x < kHalfLine - kSerrationWidth : x < kEqualisingWidth;
        return low ? kSyncLevel : kBlankLevel;
    }
    const int64_t line = framePos / kSamplesPerLine;
    const int64_t x = framePos % kSamplesPerLine;
    const int phase = static_cast<int>(((n - x) % 4 + 4) % 4);
    const bool picture = (line >= 21 && line <= 261) || (line >= 284 && line <= 524);
    return (picture ? pictureLines_ : blankLines_)[phase][x];
}

}  // namespace kivoly::sim
