// The save-file dialog. Headless, a responder answers it: the default one cancels, so nothing is
// written without someone choosing a name. A host or a display installs a responder that asks a
// person; tests install one that returns a path. Every request is kept so that tests can check
// what was asked.
#pragma once

#include <string>
#include <vector>

#include "platform/handles.h"

namespace kivoly::platform {

enum SaveFileFlags : unsigned {
    OfnReadOnly = 0x00000001,
    OfnOverwritePrompt = 0x00000002,  // ask before replacing an existing file
    OfnHideReadOnly = 0x00000004,     // no read-only check box
    OfnPathMustExist = 0x00000800,    // the folder must exist
};

struct SaveFileRequest {
    KivoHWnd owner = nullptr;
    std::string filterName;        // "NTSC Kivoly Raw Data (*.nsr)"
    std::string filterPattern;     // "*.nsr"
    std::string initialName;       // proposed file name, may be empty
    int maxLength = 0;             // characters the caller's buffer holds, its NUL included
    std::string defaultExtension;  // appended when the name has none, e.g. "nsr"
    unsigned flags = 0;
};

// Shows the dialog; true with the chosen name in `name` (at most maxLength - 1 characters),
// false when the user cancels.
bool GetSaveFileName(const SaveFileRequest& request, std::string& name);

// A responder fills `name` and returns true to confirm, false to cancel.
using SaveFileResponder = bool (*)(const SaveFileRequest& request, std::string& name,
                                   void* context);
// Installs a responder; null restores the default one (cancel).
void InstallSaveFileResponder(SaveFileResponder responder, void* context);

// Every request since the last clear, oldest first.
const std::vector<SaveFileRequest>& SaveFileRequests();
void ClearSaveFileRequests();

}  // namespace kivoly::platform
