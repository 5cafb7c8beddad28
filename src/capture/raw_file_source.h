// RawFileSource: a VideoSource that replays a raw capture file (.nsr, see raw_capture_file.h)
// record by record, so that decoding runs without the digitizer.
//
// The file opens at Power(true) or at the first AcquireField and is read strictly forward: each
// AcquireField steps to the next record and leaves its samples next in the file for Read. At
// the end of the file AcquireField fails and the field flags read 0x0028 (not locked, status
// line set), which a decoder takes as the signal being gone.
//
// A file is outside input. The length in a record header only keeps the books: it sets
// BytesRemaining (limited to the samples the file really holds, so that a consumer that copies
// "the rest of the field" stops at the end of the file) and the place of the next record, which
// never moves backwards. Nothing is allocated or read on the strength of it.
#pragma once

#include <cstdint>

#include "capture/video_source.h"

namespace kivoly {

class RawFileSource : public VideoSource {
  public:
    static constexpr uint16_t kEndOfFileFlags = NoSync | StatusPE;

    // Keeps at most 255 characters of `name`.
    explicit RawFileSource(const char* name);
    ~RawFileSource() override;

    void Read(uint8_t* buffer, uint16_t count) override;
    bool AcquireField() override;
    bool Power(int32_t on) override;
    bool IsReady() override { return fileHandle != -1; }
    void SetSyncWait(int32_t on) override;

    uint32_t filePos = 0;  // offset of the next record header
    int32_t fileHandle = -1;
    char fileName[256] = {};
};

}  // namespace kivoly
