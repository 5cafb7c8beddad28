// The raw capture file (.nsr): records back to back, no file header, no padding. Each record is
// the ASCII magic "KIVO", the field flags (16-bit little-endian), the number of samples that
// follow (32-bit little-endian) and the samples exactly as the source delivered them.
//
// RawCaptureFile writes such a file record by record; EncodeRawRecord and AppendRawRecord build
// records in memory for callers that hold the bytes themselves.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace kivoly {

inline constexpr size_t kRawRecordHeaderBytes = 10;
inline constexpr char kRawRecordMagic[4] = {'K', 'I', 'V', 'O'};

// The 10-byte header of a record of `length` samples.
std::array<uint8_t, kRawRecordHeaderBytes> EncodeRawRecordHeader(uint16_t fieldFlags,
                                                                 uint32_t length);

// Appends one whole record to `file`.
void AppendRawRecord(std::vector<uint8_t>& file, uint16_t fieldFlags,
                     std::span<const uint8_t> samples);

class RawCaptureFile {
  public:
    RawCaptureFile() = default;
    ~RawCaptureFile() { Close(); }
    RawCaptureFile(const RawCaptureFile&) = delete;
    RawCaptureFile& operator=(const RawCaptureFile&) = delete;

    // Creates (or empties) the file; false when it cannot be created.
    bool Create(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // Writes one record; false, and the file closed, when a write fails.
    bool AppendRecord(uint16_t fieldFlags, std::span<const uint8_t> samples);

    // Flushes and closes; false when the last writes did not reach the file.
    bool Close();

  private:
    std::FILE* file_ = nullptr;
};

}  // namespace kivoly
