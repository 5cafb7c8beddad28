// The main window's help: the user guide we ship, opened with the desktop's opener, and the
// version box (Shift with Help).
#pragma once

#include <string>

#include "kivoly/kivoly.h"
#include "platform/gdi/device_context.h"

namespace kivoly::ui {

inline constexpr const char* kUserGuideName = "user-guide.html";

// Where the guide is: beside the skin archive (which the build and the installation put in
// share/kivoly), else by the open-file search; "" when nowhere.
std::string FindUserGuide();
// Opens the guide; when it cannot be opened a message box owned by `owner` says so.
void OpenUserGuide(KivoHWnd owner);
// The text of the version box for the display behind `display`.
std::string VersionText(platform::DeviceContext* display);
void ShowVersionMessage(KivoHWnd owner, platform::DeviceContext* display);

}  // namespace kivoly::ui
