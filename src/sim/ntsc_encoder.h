// NtscEncoder: turns a picture into NTSC composite video sampled at four times the colour
// subcarrier, as the digitizer sees it from a still camera.
//
// Signal. The picture is scaled to 736 x 480 (ntsc_timing.h places it), converted to Y, U, V
// (Y = 0.299 R + 0.587 G + 0.114 B, U = 0.492 (B - Y), V = 0.877 (R - Y)), luma band-limited to
// 4.2 MHz and U and V to 1.3 MHz (Blackman-windowed sinc filters), and modulated on the
// subcarrier: chroma = U sin(wt) + V cos(wt), burst = -20 IRE x sin(wt), 9 cycles from 5.3 us.
// Levels: sync tip 4, blanking 64, black 76 (7.5 IRE set-up), white 224, 1.6 levels per IRE.
// Sync edges are raised cosines of 206 ns (10-90 %); the vertical interval has equalising and
// serrated broad pulses. Samples are rounded to 8 bits and clipped to 0..255.
//
// Sampling. The 910-sample clock is locked to the subcarrier with samples on the U and V axes:
// along a line the samples carry +V, +U, -V, -U (plus luma) in turn, starting from whichever
// phase the line's place in the colour sequence gives. The half-rate clock takes every second
// sample. The alternate line-length clock, which takes the second sample set of the 35 ns
// mode, is the normal clock half a sample later: each of its samples falls half way between two
// normal ones, all along the line. A line holds 908 of its samples: the clock holds one sample of
// the sync tip for two, and the three samples this leaves over fall in the front porch, so the
// picture keeps its place. A decoder that finds the line start by the sync sees this set's burst
// 1.5 samples (135 degrees) after the first set's, takes it for half a cycle and reads two
// samples later; its picture positions then lie exactly half a sample after the first set's.
// The alternate samples are found by band-limited interpolation.
//
// Timeline. Time is counted in normal samples from the start of field 0 and the signal repeats
// after the four-field sequence. Sample() gives any stretch of it at any of the four clocks;
// CaptureField() gives what a synced capture of field n holds (it starts kCaptureDelay after the
// field's broad pulses begin).
//
// The frame is built once (two frames of 8-bit samples, plus float copies for interpolation and
// the ideal decode), so a capture is a copy, or 32 multiply-adds a sample at the alternate clock.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "sim/ideal_planes.h"
#include "sim/ntsc_timing.h"
#include "sim/picture.h"

namespace kivoly::sim {

class NtscEncoder {
  public:
    explicit NtscEncoder(const Picture& picture);

    // Samples of the video from `time` on (normal samples since the start of field 0, any real
    // value) at a clock of `samplesPerLine` = 910, 908, 455 or 454 samples a line.
    void Sample(double time, int samplesPerLine, std::span<uint8_t> out) const;

    // Time of the first sample of a synced capture of `field` at that clock, starting `delay`
    // normal samples after the field's broad pulses begin.
    static double CaptureStart(int64_t field, int samplesPerLine, int64_t delay = kCaptureDelay);
    void CaptureField(int64_t field, int samplesPerLine, std::span<uint8_t> out) const;

    // The ideal decode of the 242 lines that a decoder keeps from a synced capture of `field`
    // at that clock (910, or 908 for the second sample set): stored line j is frame line 21 + j
    // (first field) or 283 + j (second field); output position k lies 139 + k normal samples
    // after the line's sync edge sample -1, and half a sample later at the alternate clock.
    IdealPlanes IdealField(int64_t field, int samplesPerLine) const;

    // Ratio of the sampling period of a clock to the normal one.
    static double SampleStep(int samplesPerLine);

  private:
    double CompositeAt(double time) const;  // interpolated, unquantised

    // One frame: luma with sync and blanking, and the band-limited U and V.
    std::vector<float> base_, u_, v_;
    std::vector<float> composite_;  // two frames, unquantised
    std::vector<uint8_t> samples_;  // two frames, 8-bit
};

}  // namespace kivoly::sim
