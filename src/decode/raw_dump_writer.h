// RawDumpWriter: the raw capture file written while decoding. Every field the decoder takes
// from its source becomes one record ("KIVO", the field flags, the sample count, the samples
// exactly as read), back to back in the order the fields were acquired, so that reading the file
// back acquires the same fields in the same order. The count is written when the record is
// complete, so it always matches the samples that follow. A failed write closes the file and
// ends the dump; it never fails the decode.
#pragma once

#include <cstdint>
#include <cstdio>

namespace kivoly {

class VideoSource;

class RawDumpWriter {
  public:
    RawDumpWriter() = default;
    ~RawDumpWriter() { Close(); }
    RawDumpWriter(const RawDumpWriter&) = delete;
    RawDumpWriter& operator=(const RawDumpWriter&) = delete;

    // Creates (or empties) the file; false when it cannot be had.
    bool Open(const char* path);
    bool IsOpen() const { return file_ != nullptr; }
    void BeginRecord(uint16_t fieldFlags);
    void Write(const uint8_t* samples, int count);
    // Reads what is left of the source's current field through `buffer` (`size` bytes) into
    // the open record.
    void CopyRestOfField(VideoSource& source, uint8_t* buffer, int size);
    void FinishRecord();
    void Close();

  private:
    void Fail();

    std::FILE* file_ = nullptr;
    long recordHeader_ = 0;     // file offset of the open record's header
    uint32_t recordBytes_ = 0;  // samples written into it so far
    bool recordOpen_ = false;
};

}  // namespace kivoly
