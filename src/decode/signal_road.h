// The signal road: how raw composite samples become a decoded picture, stage by stage. Each
// stage is a class with its own state; a PictureDecoder owns them for one decode and runs them,
// the CapturePasses taking the fields and judging the signal as they go.
//
//   VideoSource        fields of 8-bit samples at four times the subcarrier (capture layer)
//     |
//   ChunkReader        reads a field through a 6144-byte window (the picture's ChunkBuffer),
//     |                refilled by halves, copies what it reads into the RawDumpWriter,
//     |                removes the even/odd level offset
//   SyncSlicer         finds each line start by its sync pulse (eight sums below a slicing
//     |                level that calibrates itself on the first lines' sync tips)
//   LineAligner        measures the colour burst and moves a line start by up to two samples
//     |                so that its burst has the phase the line's place asks for
//   FrameComb          (two frames) the sum of a line and the same line one frame later is
//     |  or            luma, their difference chroma; rows of the first frame are stored raw,
//     |                the second frame's are decoded against them as they arrive
//   SingleFrame-       (one frame) separates luma and chroma within a field, blending a
//   Separator          vertical and a horizontal comb by the activity in the other direction;
//     |                a field not captured is interpolated between the other's lines
//   demodulator        chroma samples to U at even and V at odd positions, turned by the
//     |                smoothed burst (ChromaDemodulator, BurstAverager); the LevelRecorder
//     |                gathers the luma statistics of every decoded line
//   CorrectColours     negatives only: removes the cast per luma level, stretches the range
//     |
//   YuvImage           the picture: 242 or 484 lines of 752 luma and 752 chroma bytes, the
//                      luma histogram and levels; the RGB conversion reads it
//
// The NTSC figures the stages share are written here once.
#pragma once

#include <cstdint>

#include "capture/video_source.h"

namespace kivoly {

// Lines one field gives the picture, and a two-field picture's lines.
inline constexpr int kFieldLines = 242;
inline constexpr int kFrameLines = 2 * kFieldLines;
// Decoded samples a line: luma bytes, followed in the same buffer by as many chroma bytes.
inline constexpr int kSampleWidth = 752;
// Raw sample of a line (from its sync edge) that becomes decoded position 0.
inline constexpr int kDecodeStart = 148;
// Raw samples a stored line keeps, from its start.
inline constexpr int kRawLineSamples = 1070;
// A line buffer: two bytes of timing skew and the raw samples, later the decoded line.
inline constexpr int kLineBytes = 2 * kSampleWidth + 2;
static_assert(kLineBytes >= 2 + kRawLineSamples);
// A doubled row of the RGB conversion: 1504 luma or chroma samples.
inline constexpr int kWorkLineBytes = 2 * kSampleWidth;
inline constexpr int kLinesPerBlock = 16;
// The chunk reader's window and its refill.
inline constexpr int kChunkBytes = 6144;
inline constexpr int kChunkHalf = kChunkBytes / 2;
// Zeroed bytes allocated past the chunk buffer's end: a line found at the very end of the
// buffer may be examined a few dozen samples beyond it.
inline constexpr int kChunkGuardBytes = 64;

}  // namespace kivoly
