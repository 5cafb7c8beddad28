// VideoSignal: the composite video that reaches the simulated digitizer's input, as one
// continuous timeline.
//
// Time is counted in samples of the normal clock (four times the NTSC colour subcarrier,
// 14.318 MHz, 910 to a line) from the start of field 0; a field is 262.5 lines (238,875 samples)
// and the four-field colour sequence repeats every 955,500 samples. Because a line holds 227.5
// subcarrier cycles, the colour phase inverts from line to line and from frame to frame by
// itself. The device samples it at one of four clocks: 910, 908, 455 or 454 samples a line.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kivoly::sim {

inline constexpr int64_t kSamplesPerLine = 910;
inline constexpr int64_t kSamplesPerField = 238875;

class VideoSignal {
  public:
    virtual ~VideoSignal() = default;
    // Writes `count` samples taken from `time` on at the clock of `samplesPerLine`.
    virtual void Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) = 0;
    // The time of the first sample of a capture synced to field `field` (0, 1, ...), which
    // starts a fixed delay after the field's vertical sync.
    virtual double CaptureStart(int64_t field, int samplesPerLine) = 0;
};

}  // namespace kivoly::sim
