// Reading and writing pictures: PNG (any bit depth and colour type, alpha dropped), 24-bit
// uncompressed BMP and binary PPM (P6, maximum value up to 65535) in; PNG and PPM out. The
// format is recognised by the file's first bytes, not its name.
//
// Files are outside input: sizes are checked against what the file holds before anything is
// allocated, and pictures larger than kMaxPicturePixels are refused.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "sim/picture.h"

namespace kivoly::sim {

inline constexpr int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

// Each returns false and a one-line reason in `error` on failure.
bool ReadPicture(const std::string& path, Picture& picture, std::string& error);
bool DecodePicture(std::span<const uint8_t> bytes, Picture& picture, std::string& error);
bool WritePng(const std::string& path, const Picture& picture, std::string& error);

}  // namespace kivoly::sim
