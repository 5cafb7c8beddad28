// The built-in "STATIC" class: a text on the dialog face, wrapped at word boundaries to the
// control's width (left-aligned, or centred with SsCenter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/device_context.h"

namespace kivoly::platform {

inline constexpr const char* kStaticClass = "STATIC";
inline constexpr uint32_t SsLeft = 0x0;
inline constexpr uint32_t SsCenter = 0x1;

// Splits `text` into lines no wider than `width` pixels, breaking between words and at '\n'; a
// tab becomes four spaces of indentation.
std::vector<std::string> WrapText(const DeviceContext& dc, const std::string& text, int width);

// Registers the class (done by the window system itself when it starts).
void RegisterStaticClass();

}  // namespace kivoly::platform
