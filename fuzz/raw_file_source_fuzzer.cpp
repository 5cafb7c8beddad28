// Feeds arbitrary bytes to RawFileSource as a raw capture file and reads every record the way a
// decode does: whatever the headers claim, nothing may be read out of bounds or allocated for.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "capture/raw_file_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int fd = memfd_create("raw_capture", 0);
    if (fd < 0) return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    const std::string name = "/proc/self/fd/" + std::to_string(fd);
    kivoly::RawFileSource source(name.c_str());
    uint8_t chunk[6144];
    // A record of zero length advances by its header, so a file holds at most size / 10 records.
    for (size_t record = 0; record <= size / 10 + 1 && source.AcquireField(); ++record) {
        while (source.BytesRemaining() > 0) {
            const int32_t count = source.BytesRemaining() < 6144 ? source.BytesRemaining() : 6144;
            source.Read(chunk, static_cast<uint16_t>(count));
        }
    }
    source.Power(false);
    close(fd);
    return 0;
}
