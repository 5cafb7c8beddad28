// Feeds arbitrary bytes to the skin archive reader as a whole archive: every member it hands
// out must describe no more than its block holds, no block may be larger than the input could
// fill, and reading stops at the end of the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/packed_dib.h"
#include "output/skin_archive.h"
#include "platform/global_memory.h"
#include "scratch_file.h"

namespace {

using kivoly::fuzz::Check;
using kivoly::fuzz::WriteScratchFile;

// More than the main window ever reads, to walk off the end of every input.
constexpr int kReads = 40;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace kivoly;
    SetSkinArchiveOverride(WriteScratchFile(data, size).c_str());
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
