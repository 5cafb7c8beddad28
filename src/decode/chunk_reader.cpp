#include "decode/chunk_reader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "capture/video_source.h"
#include "decode/internal/raw_dump_writer.h"

namespace kivoly {

namespace {

// The even/odd difference is measured over the picture part of a line.
constexpr int kEvenOddStart = kDecodeStart;
constexpr int kEvenOddPairs = 344;

uint8_t ClampByte(int v) {
    return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

bool ChunkBuffer::Ensure() {
    if (buffer_ == nullptr) {
        buffer_ = static_cast<uint8_t*>(std::calloc(kChunkBytes + kChunkGuardBytes, 1));
        owned_ = buffer_ != nullptr;
    }
    return buffer_ != nullptr;
}

void ChunkBuffer::Release() {
    std::free(buffer_);
    buffer_ = nullptr;
}

void ChunkBuffer::ReleaseOwned() {
    if (owned_) Release();
    owned_ = false;
}

void ChunkReader::Refill(int& position) {
    if (source_ == nullptr || source_->BytesRemaining() <= 0 ||
        kChunkBytes - position > kChunkHalf) {
        return;
    }
    std::memcpy(buffer_, buffer_ + kChunkHalf, kChunkHalf);
    position -= kChunkHalf;
    const int n = std::min(kChunkHalf, static_cast<int>(source_->BytesRemaining()));
    uint8_t* fresh = buffer_ + kChunkHalf;
    source_->Read(fresh, static_cast<uint16_t>(n));
    if (dump_ != nullptr) dump_->Write(fresh, n);
    if (evenOddOffset_ != 0) {
        // The window starts at an even offset and so does its upper half.
        for (int i = 0; i < n; i += 2) {
            const int v = fresh[i];
            if (v > 0 && v < 255) fresh[i] = ClampByte(v - evenOddOffset_);
        }
    }
}

void ChunkReader::MeasureEvenOdd(int position) {
    const int start = position + kEvenOddStart;
    if (start < 0 || start + 2 * kEvenOddPairs > kChunkBytes) return;
    const uint8_t* x = buffer_ + start;
    int d = 0;
    for (int i = 0; i < 2 * kEvenOddPairs; i += 2)
        d += x[i] - x[i + 1];
    if (start & 1) d = -d;  // d is always the even-offset samples less the odd ones
    d = d >= 1 ? (d + kEvenOddPairs / 2) / kEvenOddPairs : (d - kEvenOddPairs / 2) / kEvenOddPairs;
    if (std::abs(d) > std::abs(evenOddOffset_)) {
        evenOddOffset_ = static_cast<int16_t>(std::abs(d) < 10 ? d : (d > 0 ? 10 : -10));
    }
}

}  // namespace kivoly
