// FrameComb: decodes a line of the second frame against the same line of the first, stored
// raw, into that line's buffer (frame_comb.cpp tells how).
#pragma once

#include <cstdint>

#include "capture/video_source.h"

namespace kivoly {

class BurstAverager;
class LevelRecorder;
class LineAligner;
struct DecodeStatistics;

class FrameComb {
  public:
    FrameComb(LineAligner& aligner, VideoSource& source, LevelRecorder& recorder,
              DecodeStatistics& statistics, bool useColor)
        : aligner_(aligner),
          source_(source),
          recorder_(recorder),
          statistics_(statistics),
          useColor_(useColor) {}

    // The timing of the lines now arriving: their sample rate, and how many samples (-1, 1,
    // 2) a second sample set's burst lies from the first set's.
    void SetSamplesPerLine(int samplesPerLine) { samplesPerLine_ = samplesPerLine; }
    void SetPhaseShift(int phaseShift) { phaseShift_ = phaseShift; }

    // Replaces the raw `storedLine` by the decoded line, with the new frame's samples from
    // `rawStart` on.
    void DecodeFrameLine(uint8_t* storedLine, const uint8_t* rawStart, BurstAverager& averager);

  private:
    LineAligner& aligner_;
    VideoSource& source_;
    LevelRecorder& recorder_;
    DecodeStatistics& statistics_;
    const bool useColor_;
    int samplesPerLine_ = kSamplesPerLine;
    int phaseShift_ = 0;
};

}  // namespace kivoly
