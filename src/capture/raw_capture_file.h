// The raw capture file (.nsr): records back to back, no file header, no padding. Each record is
// the ASCII magic "KIVO", the field flags (16-bit little-endian), the number of samples that
// follow (32-bit little-endian) and the samples exactly as the source delivered them.
//
// RawCaptureFile writes such a file record by record, through a temporary file that takes the
// name only when Close finds every record written; EncodeRawRecord and AppendRawRecord build
// records in memory for callers that hold the bytes themselves.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/atomic_file.h"

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
    // Creates the file's temporary; false (with Error set) when it cannot be created.
    bool Create(const std::string& path) { return file_.Open(path); }
    bool IsOpen() const { return file_.IsOpen(); }

    // Writes one record; false, and the file given up, when a write fails.
    bool AppendRecord(uint16_t fieldFlags, std::span<const uint8_t> samples);

    // Puts the complete file in place; false (an existing file kept) when the records did not
    // all reach the disk. A file destroyed without Close is given up.
    bool Close() { return file_.Commit(); }

    // Why the last step failed: "cannot write PATH: REASON".
    const std::string& Error() const { return file_.Error(); }

  private:
    platform::AtomicFile file_;
};

}  // namespace kivoly
