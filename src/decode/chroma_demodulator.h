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

namespace kivoly {

class ChromaDemodulator {
  public:
    // gain = burst gain, (a, b) the burst unit vector of the line.
    ChromaDemodulator(double gain, double a, double b)
        : wA_(static_cast<int16_t>(std::trunc(1024.0 * gain * a))),
          wB_(static_cast<int16_t>(std::trunc(1024.0 * gain * b))) {}

    // The colour difference at position k (U at even, V at odd positions) from the chroma
    // sample z there.
    int8_t Next(int k, int z) {
        int out;
        switch (k & 3) {
            case 0:
            case 2: {
                const int p = (k & 3) == 0 ? -z : z;
                out = (q_ * wB_ - ((p + p_) * wA_) / 2) / 1024;
                p_ = p;
                break;
            }
            default: {
                const int q = (k & 3) == 1 ? -z : z;
                out = (((q_ + q) * wA_) / 2 + p_ * wB_) / 1024;
                q_ = q;
                break;
            }
        }
        if (out < -128) out = -128;
        if (out > 127) out = 127;
        return static_cast<int8_t>(out);
    }

    int16_t WeightA() const { return wA_; }
    int16_t WeightB() const { return wB_; }

  private:
    int16_t wA_;
    int16_t wB_;
    int p_ = 0;  // last chroma sample of the even phases
    int q_ = 0;  // last of the odd phases
};

}  // namespace kivoly
