// The library's version: 1.1.0.2, as KivoGetDLLVersion reports it (bytes high to low).
#pragma once

#include <cstdint>

namespace kivoly {

inline constexpr uint32_t kDllVersion = 0x01010002;
inline constexpr const char* kVersionText = "1.1.0.2";
// The video standard this build decodes, and what the version box is titled.
inline constexpr const char* kSpecialBuild = "NTSC";
inline constexpr const char* kFileDescription = "Kivoly Video Digitizer Library";

}  // namespace kivoly
