// ChunkReader: a field's samples pass through a window of 6144 bytes. When the reader has moved
// into the upper half, the upper half moves down and the next half is read from the source, so
// that a line found near the end of the window can still be read whole. Every sample read goes
// into the raw dump too. Digitizers whose even and odd samples sit at slightly different levels
// have that offset measured on the first lines and removed from later halves.
#pragma once

#include <cstdint>

#include "decode/signal_road.h"

namespace kivoly {

class RawDumpWriter;
class VideoSource;

// The window's memory. The capture store keeps it between captures, so that a capture never
// starts without it; a decode that had to allocate it frees it again at its end.
class ChunkBuffer {
  public:
    ChunkBuffer() = default;
    ~ChunkBuffer() { Release(); }
    ChunkBuffer(const ChunkBuffer&) = delete;
    ChunkBuffer& operator=(const ChunkBuffer&) = delete;

    // The window (kChunkBytes and a zeroed guard after it); allocates it when there is none,
    // and then owns it. False when memory runs out.
    bool Ensure();
    void Release();
    // Releases the window only when Ensure allocated it.
    void ReleaseOwned();
    uint8_t* Data() const { return buffer_; }

  private:
    uint8_t* buffer_ = nullptr;
    bool owned_ = false;
};

class ChunkReader {
  public:
    // The window to read through, where its samples come from and where they go.
    void Attach(uint8_t* window, VideoSource* source, RawDumpWriter* dump) {
        buffer_ = window;
        source_ = source;
        dump_ = dump;
    }
    uint8_t* Data() const { return buffer_; }
    // Moves the window on by half when `position` lies in its upper half and the field has
    // samples left; `position` follows the samples.
    void Refill(int& position);

    // Measures the even/odd level difference of the line at `position` and keeps the largest
    // seen (at most 10 levels either way).
    void MeasureEvenOdd(int position);
    int16_t EvenOddOffset() const { return evenOddOffset_; }
    void SetEvenOddOffset(int16_t offset) { evenOddOffset_ = offset; }

  private:
    uint8_t* buffer_ = nullptr;
    VideoSource* source_ = nullptr;
    RawDumpWriter* dump_ = nullptr;
    int16_t evenOddOffset_ = 0;
};

}  // namespace kivoly
