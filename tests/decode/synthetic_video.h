// Hand-made composite fields for the decoder's unit tests: plain lines with a sync pulse, a
// burst and a flat or patterned picture, sampled at 4 x fsc. They stand apart from the NTSC
// encoder so that each stage can be checked on a signal whose every sample is known.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "capture/raw_capture_file.h"

namespace kivoly::testing {

struct SyntheticVideo {
    int syncTip = 4;
    int blanking = 64;
    int burstAmplitude = 32;  // 0: no burst
    // Luma and chroma (u, v) of picture sample i (0 = line sample 135) of line l.
    std::function<int(int l, int i)> luma = [](int, int) { return 120; };
    int u = 0;
    int v = 0;
    // Sign of the chroma and burst (a field of the next frame carries them inverted).
    int inversion = 1;
    // Where the capture starts within the first line.
    int startOffset = 300;
    // Extra samples added to the length of line `longLine` (-1: none).
    int longLine = -1;
    int extra = 0;

    // `count` samples from the capture start on.
    std::vector<uint8_t> Field(int count = 262144) const {
        std::vector<uint8_t> out;
        for (int l = 0, t = 0; static_cast<int>(out.size()) < count + startOffset; ++l) {
            const int length = 910 + (l == longLine ? extra : 0);
            for (int i = 0; i < length; ++i, ++t) {
                const int phase = t & 3;  // of the subcarrier
                // Samples on the axes: +V, +U, -V, -U.
                const int c = phase == 0 ? v : phase == 1 ? u : phase == 2 ? -v : -u;
                const int burst = phase == 1 ? -burstAmplitude : phase == 3 ? burstAmplitude : 0;
                int s;
                if (i < 67) {
                    s = syncTip;
                } else if (i >= 76 && i < 112) {
                    s = blanking + inversion * burst;
                } else if (i >= 135 && i < 888) {
                    s = luma(l, i - 135) + inversion * c;
                } else {
                    s = blanking;
                }
                out.push_back(static_cast<uint8_t>(s < 0 ? 0 : s > 255 ? 255 : s));
            }
        }
        return std::vector<uint8_t>(out.begin() + startOffset, out.begin() + startOffset + count);
    }
};

// A raw capture file made of the given fields (flags 0: a stable signal).
inline std::vector<uint8_t> RawFile(const std::vector<std::vector<uint8_t>>& fields) {
    std::vector<uint8_t> file;
    for (const auto& field : fields)
        AppendRawRecord(file, 0, field);
    return file;
}

// The fields a stable capture of a still picture gives: frames alternate their colour phase.
inline std::vector<std::vector<uint8_t>> StillFields(const SyntheticVideo& video, int count) {
    SyntheticVideo inverted = video;
    inverted.inversion = -video.inversion;
    const std::vector<uint8_t> a = video.Field();
    const std::vector<uint8_t> b = inverted.Field();
    std::vector<std::vector<uint8_t>> fields;
    for (int i = 0; i < count; ++i)
        fields.push_back((i / 2) % 2 ? b : a);
    return fields;
}

inline std::vector<uint8_t> StillFile(const SyntheticVideo& video, int count) {
    return RawFile(StillFields(video, count));
}

}  // namespace kivoly::testing
