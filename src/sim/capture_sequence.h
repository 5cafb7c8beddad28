// The field captures that a decode of each quality takes, in the order it takes them, and the
// records of 262,144 samples that stand for them in a raw capture file.
//
// Acquisition order. A decode first waits for the sync (the next field one after it asks), then
// acquires field after field:
//   Quality 0 ("moving"):  one field, A. It makes the picture from that field alone.
//   Quality 1 ("still"):   A, A+1, A+2. It stores A, lets A+1 pass (one-field pictures take
//                          every second field, so that the second capture is the same field of
//                          the next frame) and decodes A+2 against A.
//   Quality 2 ("70 ns"):   A, A+1, A+2, A+3: two frames. A and A+1 are stored, A+2 and A+3 are
//                          decoded against them.
//   Quality 3 ("35 ns"):   the four of quality 2 at the normal clock, then A+4 .. A+7 at the
//                          alternate line length (908 samples a line) for the second line table.
// A is a first field (even field index, frame line 1 starts it), and a raw file holds one record
// per acquired field, the skipped one of quality 1 included, because the file reader acquires it
// too.
//
// Why these fields: the frame comb adds and subtracts the same line of two successive frames,
// which NTSC gives with inverted subcarrier (a frame is 119,437.5 cycles); the second frame's
// burst is then the inverse of the first's, which is what the decoder checks. The second sample
// set starts four fields (a whole colour sequence) later, so its bursts have the same phase as
// the first set's at the same place, apart from the clock's own offset.
//
// Two-field pictures interleave the fields with the second field on top: stored line j of the
// first field (frame line 21 + j) is line 2j + 1 of the picture, stored line j of the second field
// (frame line 283 + j) is line 2j. Every record's field flags are 0: a stable, locked signal.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/ideal_planes.h"
#include "sim/ntsc_encoder.h"

namespace kivoly::sim {

struct AcquiredField {
    int64_t field = 0;         // field index on the encoder's timeline
    int samplesPerLine = 910;  // clock of the capture
};

struct CaptureRecord {
    uint16_t fieldFlags = 0;
    std::vector<uint8_t> samples;
};

inline constexpr int kRecordSamples = 262144;

// The fields a decode of `quality` (0..3) acquires, starting from field `first` (even).
std::vector<AcquiredField> AcquisitionOrder(int quality, int64_t first = 0);

// One record per acquired field, kRecordSamples samples each, in acquisition order.
std::vector<CaptureRecord> EncodeCaptureRecords(const NtscEncoder& encoder, int quality,
                                                int64_t first = 0);

// The ideal decode of a picture made at `quality`: the lines the decoder keeps, 242 of one field
// (qualities 0 and 1) or 484 of two interleaved fields (2 and 3). `second` is the second line
// table (quality 3 only; empty otherwise).
struct IdealDecode {
    IdealPlanes first;
    IdealPlanes second;
};
IdealDecode IdealDecodeFor(const NtscEncoder& encoder, int quality, int64_t first = 0);

}  // namespace kivoly::sim
