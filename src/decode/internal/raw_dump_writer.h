// RawDumpWriter: the raw capture file written while decoding. Every field the decoder takes
// from its source becomes one record ("KIVO", the field flags, the sample count, the samples
// exactly as read), back to back in the order the fields were acquired, so that reading the file
// back acquires the same fields in the same order. The count is written when the record is
// complete, so it always matches the samples that follow. The file is written through a
// temporary that takes its name only when the dump is kept whole: a failed write gives the dump
// up (a file of that name stays as it was) and never fails the decode.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/atomic_file.h"

namespace kivoly {

class VideoSource;

class RawDumpWriter {
  public:
    RawDumpWriter() = default;
    // A dump never closed with `keep` is given up.
    ~RawDumpWriter() = default;
    RawDumpWriter(const RawDumpWriter&) = delete;
    RawDumpWriter& operator=(const RawDumpWriter&) = delete;

    // Starts the file's temporary; false when it cannot be had.
    bool Open(const char* path);
    bool IsOpen() const { return stream_ != nullptr; }
    void BeginRecord(uint16_t fieldFlags);
    void Write(const uint8_t* samples, int count);
    // Reads what is left of the source's current field through `buffer` (`size` bytes) into
    // the open record.
    void CopyRestOfField(VideoSource& source, uint8_t* buffer, int size);
    void FinishRecord();
    // Ends the dump: with `keep`, the complete file takes its name; otherwise it is given up.
    void Close(bool keep);

  private:
    void Fail();

    platform::AtomicFile file_;
    std::FILE* stream_ = nullptr;  // file_'s stream while the dump goes on
    long recordHeader_ = 0;        // file offset of the open record's header
    uint32_t recordBytes_ = 0;     // samples written into it so far
    bool recordOpen_ = false;
};

}  // namespace kivoly
