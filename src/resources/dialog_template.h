// Dialog templates: the library's resource dialogs as data (caption, size and controls in
// dialog units, font), from which a dialog is built on the window system or described to a
// person who answers it elsewhere.
#pragma once

#include <cstdint>
#include <vector>

namespace kivoly {

enum DialogStyle : uint32_t {
    DsModalFrame = 0x00000080,
    WsSysMenu = 0x00080000,
    WsCaption = 0x00C00000,
    WsPopup = 0x80000000,
};

enum ButtonStyle : uint32_t {
    BsPushButton = 0x0,
    BsDefPushButton = 0x1,
};

struct DialogControl {
    const char* className;  // "STATIC" or "BUTTON"
    const char* text;
    int id;  // -1: none
    int x, y, cx, cy;
    uint32_t style;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int x, y, cx, cy;
    uint32_t style;
    const char* font;
    int pointSize;
    std::vector<DialogControl> controls;
};

inline constexpr int kPortDialogId = 101;
inline constexpr int kPortButtonFirstId = 1000;  // "Port &1"; 1001 and 1002 follow
inline constexpr int kDialogCancelId = 2;

// The template of dialog `id`, or null when there is none.
const DialogTemplate* FindDialogTemplate(int id);

}  // namespace kivoly
