#include "decode/internal/sync_slicer.h"

#include <algorithm>
#include <cstdlib>

#include "decode/chunk_reader.h"

namespace kivoly {

namespace {

constexpr int kLevelLimit = 24;

}  // namespace

int SyncSlicer::NextLine(ChunkReader& chunk, int& position, int samplesPerLine) {
    chunk.Refill(position);
    const uint8_t* x = chunk.Data();
    const int perLine = samplesPerLine;
    int s = std::max(0, position + perLine - 24);
    int below = 0;
    while (below < 8 && kChunkBytes - s > 2) {
        const int t = mode_ == 0 ? x[s] + x[s + 1] - (level_ + 64)
                                 : x[s] + 2 * x[s + 1] + x[s + 2] - (2 * level_ + 128);
        ++s;
        if (t < 0) {
            ++below;
        } else if (below > 0) {
            --below;
        }
    }
    int lineStart = s;
    if (below >= 8) {
        lineStart = std::max(0, s - ((kSamplesPerLine - perLine) / 2 + 16));
        if (calibrationCount_ < 3) Calibrate(x + lineStart);
    }
    if (lineStart >= kChunkBytes) lineStart = kChunkBytes;
    skew_ = static_cast<int16_t>(perLine - (lineStart - position));
    return lineStart;
}

// Moves the slicing level towards the sync tip seen on the first lines, then picks the test
// (two-sample or three-tap sum) whose level crossing lies closer to the slicing level.
void SyncSlicer::Calibrate(const uint8_t* x) {
    int tip = 0;
    for (int k = 40; k <= 55; ++k)
        tip += std::min(x[k], x[k + 1]);
    int e;
    if (tip < 4 && x[9] > 8) {
        // The tip is clipped at zero: judge the level from the falling edge instead.
        e = ((x[9] + x[8]) - (x[6] + x[7])) / 4;
        if (e > 0) e = 0;
    } else {
        e = tip / 16 - 2;
    }
    levelAverage_ =
        static_cast<int16_t>(std::clamp((levelAverage_ + e) / 2, -kLevelLimit, kLevelLimit));
    ++calibrationCount_;
    if (calibrationCount_ < 3) return;
    level_ = levelAverage_;
    int pairMiss = 255;
    int tapMiss = 255;
    for (int k = 0; k < 16; ++k) {
        pairMiss = std::min(pairMiss, std::abs(x[k] + x[k + 1] - (level_ + 64)));
        tapMiss = std::min(tapMiss, std::abs(x[k - 1] + 2 * x[k] + x[k + 1] - (2 * level_ + 128)));
    }
    mode_ = tapMiss < 2 * pairMiss ? 0 : 1;
}

void SyncSlicer::Reset() {
    levelAverage_ = 0;
    level_ = 0;
    calibrationCount_ = 0;
    mode_ = 0;
}

}  // namespace kivoly
