// Chroma demodulation at four samples per subcarrier cycle.
//
// Sampled at 4 x fsc, the chroma of successive samples is +B-axis, +A-axis, -B-axis, -A-axis
// (relative to the burst phase), so demodulation needs no multiplier per sample: samples of even
// phase carry one axis and samples of odd phase the other, with the sign alternating every
// second sample. The axis missing at a position is the mean of the present sample and the
// previous one of that axis. The weights rotate the result by the burst vector (hue) and scale
// it by the burst gain, so that saturation does not depend on the signal level.
#pragma once

#include <cmath>
#include <cstdint>

#include "decode/internal/signal_kernels.h"

namespace kivoly {

class ChromaDemodulator {
  public:
    // gain = burst gain, (a, b) the burst unit vector of the line.
    ChromaDemodulator(double gain, double a, double b)
        : wA_(static_cast<int16_t>(std::trunc(1024.0 * gain * a))),
          wB_(static_cast<int16_t>(std::trunc(1024.0 * gain * b))) {}

    // The colour differences of a line (U at even, V at odd positions) from its chroma samples
    // z[0..n).
    void Line(const int32_t* z, int n, int8_t* out) const {
        kernels::Demodulate(z, n, wA_, wB_, out);
    }

  private:
    int16_t wA_;
    int16_t wB_;
};

}  // namespace kivoly
