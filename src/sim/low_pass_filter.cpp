#include "sim/internal/low_pass_filter.h"

#include <cmath>
#include <numbers>

namespace kivoly::sim {

LowPassFilter::LowPassFilter(double cutoff, int taps) : taps_(static_cast<size_t>(taps)) {
    const int half = taps / 2;
    double sum = 0;
    for (int i = 0; i < taps; ++i) {
        const double n = i - half;
        const double sinc =
            n == 0 ? 2 * cutoff
                   : std::sin(2 * std::numbers::pi * cutoff * n) / (std::numbers::pi * n);
        const double x = 2 * std::numbers::pi * i / (taps - 1);
        const double window = 0.42 - 0.5 * std::cos(x) + 0.08 * std::cos(2 * x);
        taps_[static_cast<size_t>(i)] = static_cast<float>(sinc * window);
        sum += sinc * window;
    }
    for (float& tap : taps_)
        tap = static_cast<float>(tap / sum);
}

void LowPassFilter::Apply(std::span<const float> in, std::span<float> out) const {
    const long size = static_cast<long>(in.size());
    const long half = static_cast<long>(taps_.size()) / 2;
    for (long i = 0; i < size; ++i) {
        float sum = 0;
        for (long k = -half; k <= half; ++k) {
            const long j = i + k;
            if (j >= 0 && j < size)
                sum += taps_[static_cast<size_t>(k + half)] * in[static_cast<size_t>(j)];
        }
        out[static_cast<size_t>(i)] = sum;
    }
}

double LowPassFilter::Response(double frequency) const {
    const long half = static_cast<long>(taps_.size()) / 2;
    double re = 0;
    for (long k = -half; k <= half; ++k) {
        re += taps_[static_cast<size_t>(k + half)] * std::cos(2 * std::numbers::pi * frequency * k);
    }
    return re;  // symmetric taps: the response is real
}

}  // namespace kivoly::sim
