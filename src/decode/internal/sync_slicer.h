// SyncSlicer: finds line starts by their sync pulses. The composite signal drops below the
// blanking level (about 64) to the sync tip (below 32) for 4.7 us at each line start; eight
// successive sums of neighbouring samples below the slicing level mark a pulse. The slicing
// level calibrates itself on the sync tips of the first three lines found, and then picks the
// test (two-sample or three-tap sum) whose level crossing lies closer to it.
#pragma once

#include <cstdint>

namespace kivoly {

class ChunkReader;

class SyncSlicer {
  public:
    // The start of the line after the one that starts at `position` of the reader's window,
    // with lines of `samplesPerLine` samples; the window may move on (and `position` with it).
    // Sets the line's skew: how much shorter than `samplesPerLine` the line was.
    int NextLine(ChunkReader& chunk, int& position, int samplesPerLine);
    void Reset();

    int16_t Skew() const { return skew_; }
    // 0: two-sample sums, 1: three-tap sums; the slicing level is 64 (or 128) plus this.
    int Mode() const { return mode_; }
    int Level() const { return level_; }
    int CalibrationCount() const { return calibrationCount_; }

  private:
    void Calibrate(const uint8_t* lineStart);

    int mode_ = 0;
    int16_t level_ = 0;
    int16_t levelAverage_ = 0;
    int16_t calibrationCount_ = 0;
    int16_t skew_ = 0;
};

}  // namespace kivoly
