// VideoSignal: the composite video that reaches the simulated digitizer's input, as one
// continuous timeline sampled at four times the NTSC colour subcarrier (14.318 MHz).
//
// Sample 0 is the start of field 1 of the four-field colour sequence; a line is 910 samples, a
// field 262.5 lines (238,875 samples) and the sequence repeats every 955,500 samples. Because a
// line holds 227.5 subcarrier cycles, the colour phase inverts from line to line and from frame
// to frame by itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kivoly::sim {

inline constexpr int64_t kSamplesPerLine = 910;
inline constexpr int64_t kSamplesPerField = 238875;
inline constexpr int64_t kSamplesPerSequence = 4 * kSamplesPerField;

class VideoSignal {
  public:
    virtual ~VideoSignal() = default;
    // Writes `count` consecutive samples starting at absolute sample `first` (0 or more).
    virtual void Render(int64_t first, uint8_t* out, std::size_t count) = 0;
};

}  // namespace kivoly::sim
