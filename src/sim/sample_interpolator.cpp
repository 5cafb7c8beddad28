#include "sim/internal/sample_interpolator.h"

#include <cmath>
#include <numbers>

namespace kivoly::sim {

namespace {

constexpr double kKaiserBeta = 8.0;

double BesselI0(double x) {
    double sum = 1, term = 1;
    for (int k = 1; k < 30; ++k) {
        term *= (x / (2 * k)) * (x / (2 * k));
        sum += term;
    }
    return sum;
}

}  // namespace

SampleInterpolator::SampleInterpolator() {
    const double half = kTaps / 2.0;
    for (int p = 0; p < kPhases; ++p) {
        const double frac = static_cast<double>(p) / kPhases;
        std::array<double, kTaps> w{};
        double sum = 0;
        for (int k = 0; k < kTaps; ++k) {
            // Tap k weighs sample first + k, which lies at distance d from the instant.
            const double d = (k - (half - 1)) - frac;
            // Cut-off at half the sample rate, so the kernel vanishes at whole-sample distances.
            const double sinc = d == 0   ? 1.0
                                : p == 0 ? 0.0  // exactly zero at whole-sample distances
                                         : std::sin(std::numbers::pi * d) / (std::numbers::pi * d);
            const double r = d / half;
            const double window = r * r < 1 ? BesselI0(kKaiserBeta * std::sqrt(1 - r * r)) : 0.0;
            w[static_cast<size_t>(k)] = sinc * window;
            sum += w[static_cast<size_t>(k)];
        }
        for (int k = 0; k < kTaps; ++k) {
            table_[static_cast<size_t>(p)][static_cast<size_t>(k)] =
                static_cast<float>(w[static_cast<size_t>(k)] / sum);
        }
    }
}

const float* SampleInterpolator::Kernel(double t, int64_t& first) const {
    double whole = std::floor(t);
    int phase = static_cast<int>(std::lround((t - whole) * kPhases));
    if (phase == kPhases) {
        phase = 0;
        whole += 1;
    }
    first = static_cast<int64_t>(whole) - (kTaps / 2 - 1);
    return table_[static_cast<size_t>(phase)].data();
}

const SampleInterpolator& Interpolator() {
    static const SampleInterpolator instance;
    return instance;
}

}  // namespace kivoly::sim
