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

// Dialog 101 asks for another parallel port when the device does not answer: its buttons
// "Port &1" to "Port &3" are 1000 to 1002, "Cancel" is 2.
inline constexpr int kPortDialogId = 101;
inline constexpr int kPortButtonFirstId = 1000;
inline constexpr int kDialogCancelId = 2;

// The library's dialog resource `id`, or null when there is none.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace kivoly
