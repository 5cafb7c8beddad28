// Which display a host's windows appear on, and opening the desktop display.
//
// The desktop's native windows come from a back end (native_windows.h): the one a program
// linked in (LinkNativeWindows), else the plugin "libkivoly-desktop.so", looked for beside the
// module that holds this code and then where the system looks for libraries. The shared library
// therefore starts without the windowing libraries and loads them only when a desktop is used.
#pragma once

#include <string>

#include "platform/window/native_windows.h"

namespace kivoly::platform {

inline constexpr const char* kDesktopPlugin = "libkivoly-desktop.so";

// Makes `opener` the back end of the desktop display (a program that links it in).
void LinkNativeWindows(NativeWindowsOpener opener);

// Opens the desktop display and installs it; the screen takes the desktop's size and a person
// answers message boxes and save dialogs (save_file_window.h). False, with the reason, when no
// desktop can be reached: there is never an off-screen desktop to fall back on, so nothing waits
// for input that nobody can give. True at once when it is open already. `title` names windows that
// have no title of their own.
bool OpenDesktopDisplay(const char* title, std::string* reason = nullptr);
// Returns to the headless display (its screen size as before) when the desktop display is open.
void CloseDesktopDisplay();

enum class DisplayKind { Headless, Desktop };

// The display a host gets without choosing one (KivoMakeUI calls it): the one already chosen
// (an open desktop, or the headless display a host asked for), otherwise the desktop when
// DISPLAY or WAYLAND_DISPLAY names a server that answers, else the headless display. The
// environment setting KIVOLY_DISPLAY=headless or =desktop decides instead of the guess.
DisplayKind EnsureHostDisplay();
// Records that the host chose the headless display itself (EnsureHostDisplay keeps it).
void NoteHeadlessDisplayChosen();

}  // namespace kivoly::platform
