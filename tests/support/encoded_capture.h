// One call from a picture to what a decode test needs: the raw capture file (.nsr) that a decode
// of the given quality reads, as bytes or written to a path, and the ideal decode to measure the
// decoder against (see sim/capture_sequence.h for the field order and sim/ideal_planes.h for the
// scales).
//
// Against the source picture: the encoder scales it to 736 x 480 and places column c at decoder
// output position c + 1 (the first one the RGB converter shows) and row r at line r + 2 of the
// interleaved two-field picture (the converter's first active line). A 640 x 480 conversion of
// any capture therefore lines up with the source scaled to 640 x 480 row for row: a one-field
// capture (quality 0, 1) keeps the first field only, whose stored line j is picture row 2j - 1,
// and the conversion places its lines there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kivoly/kivoly.h"
#include "sim/capture_sequence.h"
#include "sim/picture.h"

namespace kivoly::test {

struct EncodedCapture {
    std::vector<uint8_t> nsr;  // the whole file: one record per acquired field
    sim::IdealDecode ideal;    // lines the decoder keeps: 242 (quality 0, 1) or 484 (2, 3)
};

// The grab record the decode tests use: colour, from a camera, at `quality`.
inline KivoGrabInfo ColourCameraGrab(int quality) {
    KivoGrabInfo info{};
    info.Quality = quality;
    info.UseColor = 1;
    info.CameraInput = 1;
    return info;
}

EncodedCapture EncodeForQuality(const sim::Picture& picture, int quality);

// As above, and writes the file to `path`; fails the calling test when it cannot.
EncodedCapture EncodeForQualityToFile(const sim::Picture& picture, int quality,
                                      const std::string& path);

}  // namespace kivoly::test
