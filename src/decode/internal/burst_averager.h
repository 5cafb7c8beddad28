// BurstAverager: the smoothed colour-burst reference against which chroma is demodulated.
//
// Successive lines start at different subcarrier phases (910 samples a line is 227.5 cycles, so
// the phase of a line start advances by half a cycle from one line to the next, and a start moved
// by one sample turns it by a quarter). Each pushed burst is turned back by its line's phase into
// one common frame, smoothed there, and handed out turned into the frame of the last pushed line.
#pragma once

#include <cstdint>

namespace kivoly {

class BurstAverager {
  public:
    void Reset() { *this = BurstAverager(); }
    // `advance` is the line's length in samples (phase advance since the last line), `offset`
    // the extra shift of this line's start; both count quarter cycles modulo 4.
    void Push(double a, double b, double gain, int advance, int offset);
    double SmoothedA() const;
    double SmoothedB() const;
    double SmoothedGain() const { return hasValue_ ? gain_ : 0.0; }

  private:
    // The smoothed vector in the frame of the last pushed line.
    void Current(double& a, double& b) const;

    double a_ = 0.0;
    double b_ = 0.0;
    double gain_ = 0.0;
    bool hasValue_ = false;
    int accumulator_ = 0;
    int rotation_ = 0;
};

}  // namespace kivoly
