// CapturePasses: the passes of a decode that take fields from the VideoSource (see
// capture_passes.cpp).
#pragma once

#include <cstdint>

#include "decode/decode_progress.h"
#include "decode/internal/burst_averager.h"
#include "decode/internal/picture_decoder.h"

namespace kivoly {

// How a pass (or the acquisition of its field) ended.
enum class PassEnd { Next, Retry, Stop, Restart, Rescan, Exit };

class CapturePasses {
  public:
    CapturePasses(PictureDecoder& road, DecodeProgress* progress)
        : road_(road),
          image_(road.image),
          source_(road.source),
          quality_(road.grabInfo.Quality),
          progress_(progress),
          cameraInput_(road.grabInfo.CameraInput != 0) {}

    // Runs attempts until the passes end; false with `result` set when the decode must exit.
    bool Run(DecodeResult& result);
    uint16_t& Counter() { return counter_; }
    // The sample rate of the last pass's lines.
    int SamplesPerLine() const { return samplesPerLine_; }
    int MaxPasses() const { return maxPasses_; }

  private:
    PassEnd RunPass(int pass);
    PassEnd AcquireFieldOfPass(int pass, uint16_t& flags);
    // Records a field the passes let go by.
    void SkipField();
    PassEnd ProcessLines(int pass, uint16_t flags, LineTable& table, int cursor);
    bool Aborted() const { return progress_ != nullptr && progress_->Aborted(); }
    int NextLine(int& position) {
        return road_.slicer.NextLine(road_.chunk, position, samplesPerLine_);
    }
    void CopyRestOfField() {
        road_.rawDump.CopyRestOfField(source_, road_.chunk.Data(), kChunkBytes);
    }

    PictureDecoder& road_;
    YuvImage& image_;
    VideoSource& source_;
    const int quality_;
    DecodeProgress* const progress_;
    int step_ = 1;
    int samplesPerLine_ = kSamplesPerLine;
    int linesPerField_ = kFieldLines;
    int maxPasses_ = 2;
    int attempts_ = 0;
    int restarts_ = 0;
    int rescans_ = 0;
    bool toggle_ = false;
    uint16_t counter_ = 0;
    BurstAverager averager_;
    DecodeResult exitResult_ = DecodeAborted;
    // A camera's signal is judged strictly; it is given a last chance as a tape player.
    bool cameraInput_;
    // The burst of each pass's first line.
    double burstA_[8] = {};
    double burstB_[8] = {};
};

}  // namespace kivoly
