// MemoryRawSource: a VideoSource that serves the records of a raw capture file held in memory,
// with the raw file reader's semantics (records read strictly forward, one per AcquireField;
// the field flags 0x0028 at the end; short reads leave the buffer as it was). Tests and
// benchmarks decode from it without touching the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/video_source.h"

namespace kivoly {

class MemoryRawSource : public VideoSource {
  public:
    // `asDevice` makes it stand in for the digitizer, whose decodes also check the read-back
    // and retry on an unstable signal.
    explicit MemoryRawSource(std::vector<uint8_t> file, bool asDevice = false)
        : VideoSource(asDevice), file_(std::move(file)) {}

    void Read(uint8_t* buffer, uint16_t count) override;
    bool AcquireField() override;
    bool Power(int32_t on) override;
    bool IsReady() override { return open_; }
    void SetSyncWait(int32_t on) override;

    // Fields acquired since construction.
    int acquisitions = 0;
    bool powered = false;

  private:
    std::vector<uint8_t> file_;
    bool open_ = false;
    uint32_t recordPos_ = 0;  // offset of the next record header
    size_t readPos_ = 0;      // offset of the next sample Read delivers
};

}  // namespace kivoly
