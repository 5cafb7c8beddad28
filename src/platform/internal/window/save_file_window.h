// The save-file dialog as a person answers it on the desktop: the folder that a name without
// one is saved in, a file-name field that takes typing, and Save and Cancel (Enter saves, Escape
// cancels). A name of an existing file is saved over only when the person agrees, when the
// request asks for that; a name in a folder that does not exist is refused when it asks for
// that. The desktop display installs it as the save-file responder (save_file_dialog.h).
#pragma once

#include <string>

#include "platform/save_file_dialog.h"

namespace kivoly::platform {

// True with the chosen name, as the person typed it; false when cancelled.
bool RunSaveFileWindow(const SaveFileRequest& request, std::string& name);

}  // namespace kivoly::platform
