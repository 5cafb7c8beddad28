// ColourBarSignal: a plain composite generator of seven 75 % colour bars over the standard NTSC
// line and field timing (sync, burst, equalising and broad pulses), for when no picture is given.
#pragma once

#include <array>
#include <vector>

#include "sim/video_signal.h"

namespace kivoly::sim {

class ColourBarSignal : public VideoSignal {
  public:
    ColourBarSignal();
    void Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) override;
    double CaptureStart(int64_t field, int samplesPerLine) override;

  private:
    uint8_t At(int64_t n) const;

    // One picture line for each of the four subcarrier phases a line can start with.
    std::array<std::vector<uint8_t>, 4> pictureLines_;
    std::array<std::vector<uint8_t>, 4> blankLines_;
};

}  // namespace kivoly::sim
