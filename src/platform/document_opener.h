// Opening a document with the desktop's opener, as a person double-clicking it would: the
// program named by $KIVOLY_OPENER, else xdg-open. The opener runs on its own; the library does
// not wait for the viewer it starts.
#pragma once

#include <string>

namespace kivoly::platform {

// False when the file does not exist, the opener cannot be started, or it reports failure
// within a moment (no viewer, no desktop); then `reason`, when given, says which.
bool OpenDocument(const std::string& path, std::string* reason = nullptr);

}  // namespace kivoly::platform
