// The geometry of the composite signal the encoder makes, in samples of the 4x subcarrier clock
// (14.318 MHz, 910 to a line; one sample is 69.8 ns).
//
// Time runs from the start of field 0. A field is 262.5 lines, a frame 525; the subcarrier is
// exactly a quarter of the sample rate, so its phase at time t is simply 90 degrees x t and the
// four-field colour sequence (227.5 cycles a line, 119,437.5 a frame) follows by itself: the same
// picture position carries inverted chroma in the next frame and repeats after two frames.
//
// Even fields (0, 2, ...) are the first field of a frame: their vertical interval starts at the
// beginning of frame line 1. Odd fields start in the middle of line 263. Lines are numbered 1..525
// in the frame as broadcast practice numbers them.
//
// Horizontally, sample 0 of a line is the first sample after the half-amplitude point of the
// leading sync edge, which lies kSyncEdge samples before it. That sub-sample placement is chosen
// so that a slicer over two consecutive samples and one over three weighted samples both first
// fire on sample -1, whatever small offset the slicing level carries: the line start a sync
// detector derives from it is the same in either mode.
#pragma once

#include <cstdint>

namespace kivoly::sim {

inline constexpr int kLineSamples = 910;
inline constexpr int kHalfLine = 455;
inline constexpr int kFrameLines = 525;
inline constexpr int64_t kFieldSamples = 238875;     // 262.5 lines
inline constexpr int64_t kFrameSamples = 477750;     // 525 lines
inline constexpr int64_t kSequenceSamples = 955500;  // two frames: the colour sequence repeats

// Levels of the 8-bit samples.
inline constexpr double kSyncTipLevel = 4.0;
inline constexpr double kBlankLevel = 64.0;
inline constexpr double kBlackLevel = 76.0;  // 7.5 IRE set-up
inline constexpr double kWhiteLevel = 224.0;
inline constexpr double kLumaScale = kWhiteLevel - kBlackLevel;  // 148 levels for Y = 1
inline constexpr double kBurstAmplitude = 32.0;                  // 20 IRE, peak

// Horizontal timing, in samples from the half-amplitude point of the leading sync edge.
inline constexpr double kSyncEdge = -0.85;         // edge position relative to line sample 0
inline constexpr double kEdgeHalfWidth = 2.5;      // raised-cosine edges, 10-90 % in 206 ns
inline constexpr double kHSyncWidth = 67.3;        // 4.7 us
inline constexpr double kEqualisingWidth = 33.0;   // 2.3 us
inline constexpr double kBroadPulseWidth = 388.0;  // 27.1 us, serrations of 4.7 us between
inline constexpr double kBurstStart = 75.9;        // 5.3 us
inline constexpr double kBurstLength = 36.0;       // 9 cycles
inline constexpr double kBurstRamp = 4.0;          // rise and fall of the burst envelope
inline constexpr double kActiveStart = 134.6;      // 9.4 us: end of the back porch
inline constexpr double kActiveEnd = 888.4;        // 1.5 us front porch before the next edge
inline constexpr double kActiveRamp = 1.5;         // half-width of the blanking transitions

// The picture: kPictureWidth columns, column c centred on line sample kPictureStart + c, and
// kPictureRows rows of the interlaced frame (even rows from the second field, odd rows from the
// first). Outside it, up to the active edges, the picture's border pixels continue.
inline constexpr int kPictureStart = 140;
inline constexpr int kPictureWidth = 736;
inline constexpr int kPictureRows = 480;

// Vertical interval: the broad pulses of a field start 3 lines after its start.
inline constexpr int64_t kVerticalSyncOffset = 3 * kLineSamples;

// A synced capture starts this long after the start of the broad pulses (12.3 lines), so that a
// sync search that begins 886 samples into the capture finds frame line 18 (first field) or 280
// (second field) first, and the fourth line found is line 21 or 283: the top of the picture.
inline constexpr int64_t kCaptureDelay = 11204;

}  // namespace kivoly::sim
