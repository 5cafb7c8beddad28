// The keyboard's current (asynchronous) state, as the system reads it when it asks which keys
// are held right now (not the state the message queue saw). Hosts and tests set it; the window
// system keeps it up to date from the input it receives.
#pragma once

namespace kivoly::platform {

enum VirtualKey : int {
    VkLButton = 0x01,
    VkRButton = 0x02,
    VkCancel = 0x03,  // Ctrl+Break
    VkBack = 0x08,
    VkTab = 0x09,
    VkReturn = 0x0D,
    VkShift = 0x10,
    VkControl = 0x11,
    VkMenu = 0x12,  // Alt
    VkEscape = 0x1B,
    VkSpace = 0x20,
    VkLeft = 0x25,
    VkUp = 0x26,
    VkRight = 0x27,
    VkDown = 0x28,
    VkF1 = 0x70,
    // The punctuation keys, as on a US keyboard.
    VkOemSemicolon = 0xBA,  // ; :
    VkOemPlus = 0xBB,       // = +
    VkOemComma = 0xBC,      // , <
    VkOemMinus = 0xBD,      // - _
    VkOemPeriod = 0xBE,     // . >
    VkOemSlash = 0xBF,      // / ?
    VkOemBackquote = 0xC0,  // ` ~
    VkOemOpen = 0xDB,       // [ {
    VkOemBackslash = 0xDC,  // \ |
    VkOemClose = 0xDD,      // ] }
    VkOemQuote = 0xDE,      // ' "
};

bool IsKeyDownNow(int virtualKey);
void SetKeyDownNow(int virtualKey, bool down);
// Releases every key.
void ReleaseAllKeys();

}  // namespace kivoly::platform
