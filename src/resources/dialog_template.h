// Dialog templates: a dialog's frame and its controls, positioned in dialog units (a quarter of
// the dialog font's average character width across, an eighth of its height down), as the
// system's dialog resources describe them.
#pragma once

#include <cstdint>
#include <span>

namespace kivoly {

struct DialogItem {
    const char* className;  // "BUTTON", "STATIC"
    const char* text;
    int id;          // -1 for none
    uint32_t style;  // window and control style bits (child and visible are implied)
    int x, y, cx, cy;
};

struct DialogTemplate {
    uint32_t style;  // window style bits of the dialog; kDialogModalFrame for the modal frame
    const char* caption;
    int x, y, cx, cy;
    const char* fontName;
    int pointSize;
    std::span<const DialogItem> items;
};

// Dialog style bit: the heavy frame of a modal dialog.
inline constexpr uint32_t kDialogModalFrame = 0x80;

}  // namespace kivoly
