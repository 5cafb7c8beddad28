// Bitmap files: writing a packed bitmap as a ".bmp" file and reading one back.
//
// The reader takes nothing from the file on trust: header sizes, bit counts, colour counts,
// compression and dimensions are checked, and nothing is allocated or read beyond what the
// file holds. A file that fails a check gives null.
#pragma once

#include <cstdio>
#include <string>

#include "kivoly/kivoly.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"

namespace kivoly {

// Writes the bitmap with its 14-byte file header; 1 on success, 0 when the bitmap is null or
// the file cannot be written whole (`error`, when given, then says why; an existing file is
// left as it was). Eight-bit bitmaps are written with real colours.
int WriteDibFile(platform::BitmapInfoHeader* header, const char* fileName,
                 std::string* error = nullptr);

// KivoWriteDibFile: locks the bitmap behind `dib`, writes it and unlocks it again.
int WriteDibHandle(platform::GlobalHandle dib, const char* fileName, std::string* error = nullptr);

// Reads the information header and colour table at the file's position (with or without the
// "BM" file header; an old 12-byte header with 3-byte colours becomes a 40-byte one with 4-byte
// colours) and leaves the file at the pixels. The unlocked block, or null.
platform::GlobalHandle ReadDibHeader(std::FILE* file);

// Reads a whole bitmap file, found by the system's open-file search (a name with a folder in
// it is taken as it is). The unlocked block, or null.
platform::GlobalHandle ReadDibFile(const char* fileName);

}  // namespace kivoly
