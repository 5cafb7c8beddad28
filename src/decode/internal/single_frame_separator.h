// SingleFrameSeparator: decodes a picture of which only one frame was captured, separating luma
// and chroma within each field (single_frame_separator.cpp tells how). The raw lines are in the
// picture's table; each is decoded in place of the line one field step before it.
#pragma once

#include <cstdint>

namespace kivoly {

class DecodeProgress;
class LevelRecorder;
class LineAligner;
class SyncSlicer;
class VideoSource;
class YuvImage;
struct FieldDecoder;

class SingleFrameSeparator {
  public:
    // `samplesPerLine`: the sample rate the lines were captured at.
    SingleFrameSeparator(YuvImage& image, VideoSource& source, const SyncSlicer& slicer,
                         LineAligner& aligner, LevelRecorder& recorder, int samplesPerLine)
        : image_(image),
          source_(source),
          slicer_(slicer),
          aligner_(aligner),
          recorder_(recorder),
          samplesPerLine_(samplesPerLine) {}

    // False when the user aborted.
    bool DecodeSingleFrame(DecodeProgress* progress, uint16_t& counter);

  private:
    // Decodes raw line `line` into the buffer of line `line` - fieldStep.
    void DecodeFieldLine(int line, FieldDecoder& decoder);

    YuvImage& image_;
    VideoSource& source_;
    const SyncSlicer& slicer_;
    LineAligner& aligner_;
    LevelRecorder& recorder_;
    const int samplesPerLine_;
};

// Rebuilds the lines of a field that was not captured (lines 2, 4, ...) between their
// neighbours of the other field.
void InterpolateMissingField(YuvImage& image, DecodeProgress* progress, uint16_t& counter);

}  // namespace kivoly
