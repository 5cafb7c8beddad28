// PictureSignal: a still camera showing a picture, as the simulated digitizer's input. It plays
// the NtscEncoder's timeline of the picture (see ntsc_encoder.h for the signal and the clocks).
#pragma once

#include "sim/ntsc_encoder.h"
#include "sim/picture.h"
#include "sim/video_signal.h"

namespace kivoly::sim {

class PictureSignal : public VideoSignal {
  public:
    explicit PictureSignal(const Picture& picture) : encoder_(picture) {}

    void Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) override {
        encoder_.Sample(time, samplesPerLine, std::span<uint8_t>(out, count));
    }
    double CaptureStart(int64_t field, int samplesPerLine) override {
        return NtscEncoder::CaptureStart(field, samplesPerLine);
    }

    const NtscEncoder& Encoder() const { return encoder_; }

  private:
    NtscEncoder encoder_;
};

}  // namespace kivoly::sim
