#include "capture/raw_capture_file.h"

#include <limits>

namespace kivoly {

std::array<uint8_t, kRawRecordHeaderBytes> EncodeRawRecordHeader(uint16_t fieldFlags,
                                                                 uint32_t length) {
    return {
        static_cast<uint8_t>(kRawRecordMagic[0]),
        static_cast<uint8_t>(kRawRecordMagic[1]),
        static_cast<uint8_t>(kRawRecordMagic[2]),
        static_cast<uint8_t>(kRawRecordMagic[3]),
        static_cast<uint8_t>(fieldFlags),  // field flags, low byte first
        static_cast<uint8_t>(fieldFlags >> 8),
        static_cast<uint8_t>(length),  // sample count, low byte first
        static_cast<uint8_t>(length >> 8),
        static_cast<uint8_t>(length >> 16),
        static_cast<uint8_t>(length >> 24),
    };
}

void AppendRawRecord(std::vector<uint8_t>& file, uint16_t fieldFlags,
                     std::span<const uint8_t> samples) {
    const auto header = EncodeRawRecordHeader(fieldFlags, static_cast<uint32_t>(samples.size()));
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), samples.begin(), samples.end());
}

bool RawCaptureFile::AppendRecord(uint16_t fieldFlags, std::span<const uint8_t> samples) {
    if (samples.size() > std::numeric_limits<uint32_t>::max()) return false;
    const auto header = EncodeRawRecordHeader(fieldFlags, static_cast<uint32_t>(samples.size()));
    return file_.Write(header.data(), header.size()) && file_.Write(samples.data(), samples.size());
}

}  // namespace kivoly
