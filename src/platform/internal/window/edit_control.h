// The built-in "EDIT" class: a one-line text field. Typed characters are added at the end and
// Backspace takes the last one away; the text is the window's text (SetWindowText and
// GetWindowText). Taking the focus from the keyboard selects the whole text, so that typing
// replaces a proposed name; a click puts the caret back at the end. It asks the dialog manager for
// the characters typed while it has the focus, so that letters are typed rather than pressing a
// button's mnemonic; Enter and Escape stay the dialog's.
#pragma once

#include <cstddef>

namespace kivoly::platform {

inline constexpr const char* kEditClass = "EDIT";
// The longest text the field takes, in characters.
inline constexpr std::size_t kEditMaxLength = 1023;

// Registers the class (done by the window system itself when it starts).
void RegisterEditClass();

}  // namespace kivoly::platform
