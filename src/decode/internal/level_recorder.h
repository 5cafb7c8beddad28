// LevelRecorder: gathers a picture's luma statistics as the decoders write its samples: the
// histogram (for the median), the white and black levels of an eight-sample moving average, and
// for negatives the chroma sums per level (only at the full sample rate, where U and V alternate
// sample by sample).
#pragma once

#include <cstdint>

#include "capture/video_source.h"

namespace kivoly {

class YuvImage;

// Eight-slot moving average with rounding to nearest.
struct MovingAverage8 {
    int16_t history[8] = {};
    int16_t sum = 0;
    int16_t count = 0;
    int16_t index = 0;

    void Reset(int16_t value, int n);
    void Push(int16_t value);
    int16_t Average() const;
};

class LevelRecorder {
  public:
    explicit LevelRecorder(YuvImage& image) : image_(image) {}

    // Starts the moving average afresh.
    void Reset() { average_.Reset(0, 0); }
    // The sample rate of the lines now being recorded.
    void SetSamplesPerLine(int samplesPerLine) { samplesPerLine_ = samplesPerLine; }

    void RecordSample(int luma, int position, int chroma, int previousChroma);
    // RecordSample for positions 0 .. n - 1 of a decoded line (the chroma before position 0
    // counting as 0).
    void RecordLine(const int32_t* luma, const int8_t* chroma, int n);
    const MovingAverage8& Average() const { return average_; }

  private:
    bool SumsChroma() const;

    YuvImage& image_;
    MovingAverage8 average_;
    int samplesPerLine_ = kSamplesPerLine;
};

}  // namespace kivoly
