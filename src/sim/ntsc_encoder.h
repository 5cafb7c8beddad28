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
// sample. The alternate line-length clock runs at 908/910 of the normal rate, locked to the
// lines (908 samples a line); its samples are found by band-limited interpolation. Its phase is
// fixed so that it samples every line's sync 1.1 normal samples before the line's sample 0. A
// decoder that finds the line start and measures the burst at the same sample offsets as at the
// normal clock then sees the burst 0.91 samples (82 degrees) early, takes it for a quarter cycle
// and reads the line one sample later; across the picture the alternate samples then fall
// between 0.2 and 1.9 normal samples after the normal ones (half a sample a sixth of the way
// in, one sample near the middle), as the clock's slower rate adds up.
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

    // When the broad pulses of `field` begin (what a sync separator reports as its vertical
    // sync), and the first field whose broad pulses begin at or after `time`.
    static double VerticalSync(int64_t field);
    static int64_t FieldAfter(double time);

    // The ideal decode of the 242 lines that a decoder keeps from a synced capture of `field`
    // at that clock (910, or 908 for the second sample set): stored line j is frame line 21 + j
    // (first field) or 283 + j (second field); output position k lies 139 + k normal samples
    // after the line's sync edge sample -1 (normal clock), or at alternate sample 140 + k after
    // the detected one (alternate clock, read one sample later as described above).
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
