// Band-limited interpolation of a signal sampled at integer times: a Kaiser-windowed sinc of
// kTaps taps, tabulated at kPhases fractional positions and normalised to unity gain at DC.
//
// The encoder makes its signal at the 4x subcarrier rate, where everything it holds lies below
// 0.4 cycles per sample; the interpolator then gives the value at any instant, which is what a
// sampling clock that is not the subcarrier's (the alternate line length) or not in step with it
// sees. At a whole-sample position the kernel is a single tap of 1, so resampling on the original
// grid returns the original samples exactly.
#pragma once

#include <array>
#include <cstdint>

namespace kivoly::sim {

class SampleInterpolator {
  public:
    static constexpr int kTaps = 32;
    static constexpr int kPhases = 1024;

    SampleInterpolator();

    // Splits time `t` into the first sample of the kernel and the kernel's weights: the value at
    // t is the sum over k of weights[k] x x[first + k].
    const float* Kernel(double t, int64_t& first) const;

  private:
    std::array<std::array<float, kTaps>, kPhases> table_{};
};

// The one shared instance (built on first use).
const SampleInterpolator& Interpolator();

}  // namespace kivoly::sim
