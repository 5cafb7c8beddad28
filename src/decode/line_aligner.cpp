#include "decode/internal/line_aligner.h"

#include <cmath>

#include "decode/internal/burst_vector.h"

namespace kivoly {

namespace {

// First burst sample and burst length relative to a line start.
constexpr int kBurstStart = 96;
constexpr int kBurstSamples = 16;

}  // namespace

BurstMeasurement LineAligner::Measure(const uint8_t* lineStart) {
    const uint8_t* x = lineStart + kBurstStart;
    int16_t a = 0;
    int16_t b = 0;
    int16_t sum = 0;
    for (int i = 0; i < kBurstSamples; i += 4) {
        a = static_cast<int16_t>(a + x[i + 2] - x[i]);
        b = static_cast<int16_t>(b + x[i + 1] - x[i + 3]);
        sum = static_cast<int16_t>(sum + x[i] + x[i + 1] + x[i + 2] + x[i + 3]);
    }
    BurstMeasurement m;
    m.blanking = sum / kBurstSamples;
    const double amplitude = std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b);
    if (16.0 * amplitude < 256.0) {
        if (missCount_ < 8) ++missCount_;
        return m;
    }
    m.a = a / amplitude;
    m.b = b / amplitude;
    m.gain = 256.0 / amplitude;
    if (missCount_ > 0) --missCount_;
    return m;
}

void LineAligner::Align(const uint8_t* samples, int& lineStart, int lineNumber, double referenceB,
                        double referenceA, int16_t& skew) {
    const BurstMeasurement m = Measure(samples + lineStart);
    double a = m.a;
    double b = m.b;
    if (lineNumber % 2 == 0) {
        // Lines of the reference line's parity carry its burst; compare them inverted.
        a = -a;
        b = -b;
    }
    if (missCount_ >= 3 || BurstIsInverse(a, b, referenceA, referenceB)) return;
    int move;
    if (BurstQuarterBehind(a, b, referenceA, referenceB)) {
        move = 1;
    } else if (BurstQuarterAhead(a, b, referenceA, referenceB)) {
        move = -1;
    } else {
        move = skew < 1 ? -2 : 2;  // half a cycle off: either way
    }
    lineStart += move;
    skew = static_cast<int16_t>(skew - move);
}

}  // namespace kivoly
