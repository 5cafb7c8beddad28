// Feeds arbitrary bytes to the skin archive reader as a whole archive: every member it hands
// out must describe no more than its block holds, no block may be larger than the input could
// fill, and reading stops at the end of the input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/packed_dib.h"
#include "output/skin_archive.h"
#include "platform/global_memory.h"

namespace {

// More than the main window ever reads, to walk off the end of every input.
constexpr int kReads = 40;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "skin_archive_fuzzer: %s\n", what);
        std::abort();
    }
}

const std::string& ScratchFile() {
    static const std::string path = [] {
        char pattern[] = "/tmp/kivoly-skin-fuzz-XXXXXX";
        const int fd = ::mkstemp(pattern);
        Check(fd >= 0, "cannot create a scratch file");
        ::close(fd);
        return std::string(pattern);
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace kivoly;
    std::FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    Check(file != nullptr, "cannot write the scratch file");
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    SetSkinArchiveOverride(ScratchFile().c_str());
    for (int i = 0; i < kReads; ++i) {
        SkinBitmap member = ReadNextSkinBitmap(false);
        if (!member) continue;
        const std::size_t blockSize = platform::GlobalSize(member.handle);
        Check(member.header->biSize == kInfoHeaderSize, "the header was not made a 40-byte one");
        Check(DibTotalBytes(*member.header) <= blockSize, "the pixels run past the block");
        Check(blockSize <= size + 4 * 256 + kInfoHeaderSize, "the block is larger than the input");
        FreeSkinBitmap(member);
    }
    ReadNextSkinBitmap(true);
    return 0;
}
