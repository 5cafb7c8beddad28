// The look at a raw capture file before it is decoded (kivoly/tools.h).
#include "kivoly/tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "capture/raw_capture_file.h"

namespace kivoly::tools {

namespace {

constexpr int kRecordsOfQuality[] = {1, 3, 4, 8};

// 1000 as "1,000": sizes people read.
std::string Grouped(uint64_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

}  // namespace

int RecordsForQuality(int quality) {
    return kRecordsOfQuality[quality < 0 ? 0 : quality > 3 ? 3 : quality];
}

int QualityOfRecords(int records) {
    int quality = 0;
    for (int q = 0; q < 4; ++q) {
        if (records >= kRecordsOfQuality[q]) quality = q;
    }
    return quality;
}

RawFileCheck CheckRawFile(const std::string& path) {
    RawFileCheck check;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        check.problem = "cannot open " + path + ": " + std::strerror(errno);
        return check;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        check.problem = path + ": is a directory";
        ::close(fd);
        return check;
    }
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    const std::string notRaw = path + ": not a raw capture (.nsr)";
    uint64_t at = 0;
    while (at < size && check.problem.empty()) {
        uint8_t header[kRawRecordHeaderBytes];
        const bool whole = size - at >= sizeof header &&
                           ::pread(fd, header, sizeof header, static_cast<off_t>(at)) ==
                               static_cast<ssize_t>(sizeof header);
        if (whole && std::memcmp(header, kRawRecordMagic, sizeof kRawRecordMagic) != 0) {
            check.problem = check.records == 0
                                ? notRaw
                                : path + ": record " + std::to_string(check.records + 1) +
                                      " is damaged (after " + Grouped(at) + " bytes)";
            break;
        }
        const uint64_t length = whole ? (uint64_t{header[6]} | uint64_t{header[7]} << 8 |
                                         uint64_t{header[8]} << 16 | uint64_t{header[9]} << 24)
                                      : 0;
        if (!whole || size - at - sizeof header < length) {
            check.problem = check.records == 0 && !whole
                                ? notRaw
                                : path + ": ends after " + Grouped(size) +
                                      " bytes, inside record " + std::to_string(check.records + 1) +
                                      " (cut short)";
            break;
        }
        at += sizeof header + length;
        ++check.records;
    }
    ::close(fd);
    if (check.problem.empty() && check.records == 0) {
        check.problem = path + ": empty file, not a raw capture (.nsr)";
    }
    return check;
}

}  // namespace kivoly::tools
