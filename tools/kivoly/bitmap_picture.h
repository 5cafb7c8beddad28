// Writing a bitmap that the library handed out as a picture file: .bmp through the library's
// own writer, .png through the picture writer (24-bit bitmaps).
#pragma once

#include <string>

#include "kivoly/kivoly.h"

namespace kivoly::cli {

// True when `path` ends in .bmp or .png (any letter case).
bool IsPicturePath(const std::string& path);
// Writes `dib` to `path` (an existing file is replaced only by a complete one); false with a
// one-line reason in `error`.
bool WriteBitmapPicture(KivoHGlobal dib, const std::string& path, std::string& error);

}  // namespace kivoly::cli
