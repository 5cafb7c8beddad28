// The display the program's windows appear on: "headless" (a screen in memory, the default)
// or "desktop" (native windows on the person's desktop). Without a reachable desktop the desktop
// cannot be opened at all, so nothing ever waits for input that nobody can give.
#pragma once

#include <string>

namespace kivoly::cli {

// Switches to the named display; false (with `error` set) for an unknown name or a desktop that
// cannot be opened.
bool UseDisplay(const std::string& name, std::string& error);
// Returns to the headless display (closing a desktop display that is open).
void CloseDisplay();

}  // namespace kivoly::cli
