// A message box drawn on the window system: the text, wrapped, above a row of buttons (OK; OK
// and Cancel; Yes and No), run modally. A person answers it on an interactive display; the
// desktop display installs it as the message-box responder (message_box.h).
#pragma once

#include "platform/window/message.h"

namespace kivoly::platform {

// Returns the answer (IdOk, IdCancel, IdYes, IdNo); -1 when the box cannot be shown.
int RunMessageBoxWindow(KivoHWnd owner, const char* text, const char* caption, unsigned style);

}  // namespace kivoly::platform
