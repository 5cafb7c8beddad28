// A scripted person for `kivoly ui --script`: steps carried out one by one on a timer, so that
// they also reach the window while a preview pumps its own messages.
//
// Steps, separated by spaces:
//   KEY               press and release a key in the main window (brought to the front),
//                     modifiers joined by "+": space, ctrl+alt+space, shift+f1, p, a, escape,
//                     tab, shift+up, ... (held until the next step)
//   click:X,Y         click at a point of the main window's client area (the window is
//                     brought to the front first)
//   drag:X,Y,DX,DY    press at a point, move by (DX, DY) in 3-pixel steps, release
//   shot:FILE         save the main window as it looks as a PNG picture
//   wait              do nothing for one step
// When the steps are done the program quits.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kivoly/kivoly.h"

namespace kivoly::cli {

// Splits and checks the steps; false with the first bad step in `error`.
bool ParseUiScript(const std::string& text, std::vector<std::string>& steps, std::string& error);

// Runs `steps` on `mainWindow` from now on, one every `periodMs` milliseconds; the program's
// loop then ends with the quit message after the last one. While `busy` answers true (the
// host is capturing or converting) the script waits, as a person waits for the work to end.
// `failed` is set when a step could not be carried out (a picture that could not be saved).
void StartUiScript(KivoHWnd mainWindow, std::vector<std::string> steps, int periodMs,
                   std::function<bool()> busy, bool* failed);

}  // namespace kivoly::cli
