// LineAligner: the colour burst of each line and the whole-sample alignment it allows. The
// burst follows the sync pulse on the back porch; at four samples per subcarrier cycle the
// differences of opposite samples of each cycle give its two components directly. A line start
// moved by one sample turns the burst by a quarter cycle, so a line whose burst lies a quarter
// or half a cycle from where its place asks for is moved by one or two samples.
#pragma once

#include <cstdint>

namespace kivoly {

// Burst of one line: unit vector (a, b), gain 256 / amplitude (0 without burst) and the
// line's blanking level.
struct BurstMeasurement {
    double a = 0.0;
    double b = 1.0;
    double gain = 0.0;
    int blanking = 0;
};

class LineAligner {
  public:
    // Measures the burst of the line that starts at `lineStart`. Lines without a burst count
    // up the miss counter (to 8), lines with one count it down.
    BurstMeasurement Measure(const uint8_t* lineStart);
    // Moves `lineStart` (an offset into `samples`) by up to two samples so that the line's
    // burst matches the reference (A, B), inverted on lines of the reference's parity;
    // `skew` takes the move back.
    void Align(const uint8_t* samples, int& lineStart, int lineNumber, double referenceB,
               double referenceA, int16_t& skew);
    // Three misses or more: the signal has no usable colour burst.
    int MissCount() const { return missCount_; }
    void SetMissCount(int count) { missCount_ = static_cast<int16_t>(count); }

  private:
    int16_t missCount_ = 0;
};

}  // namespace kivoly
