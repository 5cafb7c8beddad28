// The display the program's windows appear on: "headless" (a screen in memory, the default)
// or "desktop" (a real window, when the program was built with SDL2).
#pragma once

#include <string>

namespace kivoly::cli {

// Switches to the named display; false (with `error` set) for an unknown name or a desktop that
// cannot be opened.
bool UseDisplay(const std::string& name, std::string& error);
// Returns to the headless display (closing a desktop display that is open).
void CloseDisplay();

}  // namespace kivoly::cli
