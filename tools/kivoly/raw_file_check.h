// What a file named as a raw capture (.nsr) holds, looked at before it is decoded, so that the
// program can say "not a raw capture" or "ends after 1,000 bytes" where the library can only say
// that it found no video signal.
#pragma once

#include <string>

namespace kivoly::cli {

struct RawFileCheck {
    int records = 0;      // whole records, each one field
    std::string problem;  // one line naming the file; "" when the file can be decoded
};

RawFileCheck CheckRawFile(const std::string& path);

// The records (fields) that a decode of `quality` reads.
int RecordsForQuality(int quality);
// The best quality that `records` fields give.
int QualityOfRecords(int records);

}  // namespace kivoly::cli
