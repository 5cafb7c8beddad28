// Feeds arbitrary bytes to the bitmap file reader: the header reader on a stream at an offset
// (as the skin archive uses it) and the whole-file reader on a file. Whatever is accepted must
// describe no more than its block holds, and nothing may be read or allocated past the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "output/dib_file.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "scratch_file.h"

namespace {

using kivoly::fuzz::Check;
using kivoly::fuzz::WriteScratchFile;

void CheckBlock(kivoly::platform::GlobalHandle handle, std::size_t inputSize, bool whole) {
    if (handle == nullptr) return;
    using namespace kivoly;
    const std::size_t blockSize = platform::GlobalSize(handle);
    Check(blockSize <= inputSize + 4 * 256 + kInfoHeaderSize, "the block is larger than the file");
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    Check(header != nullptr, "an accepted block does not lock");
    Check(header->biSize == kInfoHeaderSize, "the header was not made a 40-byte one");
    Check(DibPixelOffset(*header) <= blockSize, "the colour table runs past the block");
    if (whole) Check(DibTotalBytes(*header) <= blockSize, "the pixels run past the block");
    platform::GlobalUnlock(handle);
    platform::GlobalFree(handle);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // The header reader at an offset into the stream.
    if (size > 0) {
        std::FILE* stream = ::fmemopen(const_cast<uint8_t*>(data), size, "rb");
        if (stream != nullptr) {
            std::fseek(stream, static_cast<long>(data[0] % 4), SEEK_SET);
            CheckBlock(kivoly::ReadDibHeader(stream), size, false);
            std::fclose(stream);
        }
    }
    // The whole-file reader.
    CheckBlock(kivoly::ReadDibFile(WriteScratchFile(data, size).c_str()), size, true);
    return 0;
}
