#include "capture/raw_file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "capture/raw_capture_file.h"

namespace kivoly {

namespace {

// Reads up to `size` bytes, retrying after interruptions; returns the count read.
size_t ReadFully(int handle, uint8_t* buffer, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(handle, buffer + done, size - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<size_t>(got);
    }
    return done;
}

uint32_t LittleEndian32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

RawFileSource::RawFileSource(const char* name) {
    if (name) std::strncpy(fileName, name, sizeof fileName - 1);
}

RawFileSource::~RawFileSource() {
    Power(false);
}

bool RawFileSource::Power(int32_t on) {
    if (fileHandle != -1) ::close(fileHandle);
    fileHandle = -1;
    if (!on) return false;
    fileHandle = ::open(fileName, O_RDONLY | O_CLOEXEC);
    filePos = 0;
    return fileHandle != -1;
}

bool RawFileSource::AcquireField() {
    if (fileHandle == -1) Power(true);
    if (fileHandle == -1) return false;

    struct stat info {};
    const int64_t fileLength = ::fstat(fileHandle, &info) == 0 ? info.st_size : 0;
    if (fileLength <= static_cast<int64_t>(filePos)) {
        SetFieldFlags(kEndOfFileFlags);
        return false;
    }
    uint8_t header[kRawRecordHeaderBytes] = {};
    if (::lseek(fileHandle, filePos, SEEK_SET) < 0 ||
        ReadFully(fileHandle, header, sizeof header) < sizeof header) {
        // Not even a whole header left: the file ends here.
        filePos = static_cast<uint32_t>(std::min<int64_t>(fileLength, UINT32_MAX));
        SetFieldFlags(kEndOfFileFlags);
        SetBytesRemaining(0);
        return false;
    }
    const uint32_t length = LittleEndian32(header + 6);
    const int64_t samplesStart = static_cast<int64_t>(filePos) + kRawRecordHeaderBytes;
    const int64_t available = std::max<int64_t>(0, fileLength - samplesStart);
    SetFieldFlags(static_cast<uint16_t>(header[4] | header[5] << 8));
    SetBytesRemaining(static_cast<int32_t>(
        std::min<int64_t>({length, available, std::numeric_limits<int32_t>::max()})));
    // The next record follows the samples; a length past the end of the file leaves nothing
    // after this record.
    filePos =
        static_cast<uint32_t>(std::min<int64_t>({samplesStart + length, fileLength, UINT32_MAX}));
    return std::memcmp(header, kRawRecordMagic, sizeof kRawRecordMagic) == 0;
}

void RawFileSource::Read(uint8_t* buffer, uint16_t count) {
    SetBytesRemaining(BytesRemaining() - count);
    if (fileHandle == -1) return;
    if (buffer) {
        ReadFully(fileHandle, buffer, count);
    } else {
        ::lseek(fileHandle, count, SEEK_CUR);
    }
}

void RawFileSource::SetSyncWait(int32_t on) {
    if (on && fileHandle != -1) ::lseek(fileHandle, 0, SEEK_SET);
}

}  // namespace kivoly
