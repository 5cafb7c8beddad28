#include "capture/memory_raw_source.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace kivoly {

bool MemoryRawSource::Power(int32_t on) {
    open_ = on != 0;
    powered = open_;
    recordPos_ = 0;
    readPos_ = 0;
    return open_;
}

bool MemoryRawSource::AcquireField() {
    if (!open_) Power(1);
    ++acquisitions;
    const size_t length = file_.size();
    if (length <= recordPos_ || length - recordPos_ < 10) {
        SetFieldFlags(NoSync | StatusPE);
        SetBytesRemaining(0);
        recordPos_ = static_cast<uint32_t>(std::min<size_t>(length, UINT32_MAX));
        return false;
    }
    const uint8_t* header = file_.data() + recordPos_;
    const uint32_t samples = static_cast<uint32_t>(header[6]) | header[7] << 8 | header[8] << 16 |
                             static_cast<uint32_t>(header[9]) << 24;
    const size_t start = size_t{recordPos_} + 10;
    SetFieldFlags(static_cast<uint16_t>(header[4] | header[5] << 8));
    SetBytesRemaining(static_cast<int32_t>(
        std::min<size_t>({samples, length - start, size_t{std::numeric_limits<int32_t>::max()}})));
    readPos_ = start;
    recordPos_ = static_cast<uint32_t>(std::min<size_t>({start + samples, length, UINT32_MAX}));
    return std::memcmp(header, "KIVO", 4) == 0;
}

void MemoryRawSource::Read(uint8_t* buffer, uint16_t count) {
    SetBytesRemaining(BytesRemaining() - count);
    const size_t available = readPos_ < file_.size() ? file_.size() - readPos_ : 0;
    const size_t n = std::min<size_t>(count, available);
    if (buffer != nullptr && n > 0) std::memcpy(buffer, file_.data() + readPos_, n);
    readPos_ += count;
}

void MemoryRawSource::SetSyncWait(int32_t on) {
    if (on && open_) readPos_ = 0;
}

}  // namespace kivoly
