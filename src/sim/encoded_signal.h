// EncodedSignal: a still picture as the simulated digitizer's video, through the NTSC encoder's
// continuous timeline (a still camera: the same picture in every field).
#pragma once

#include <memory>
#include <string>

#include "sim/ntsc_encoder.h"
#include "sim/picture.h"
#include "sim/video_signal.h"

namespace kivoly::sim {

class EncodedSignal : public VideoSignal {
  public:
    explicit EncodedSignal(const Picture& picture) : encoder_(picture) {}

    void Sample(double time, int samplesPerLine, uint8_t* out, std::size_t count) override {
        encoder_.Sample(time, samplesPerLine, std::span<uint8_t>(out, count));
    }
    double CaptureStart(int64_t field, int samplesPerLine) override {
        return NtscEncoder::CaptureStart(field, samplesPerLine);
    }

    // The built-in colour bars.
    static std::unique_ptr<EncodedSignal> ColourBarSignal();
    // The picture in `path` (PNG, BMP or PPM); null and a one-line reason on failure.
    static std::unique_ptr<EncodedSignal> FromFile(const std::string& path, std::string& error);

  private:
    NtscEncoder encoder_;
};

}  // namespace kivoly::sim
