// Modal dialogs made from a dialog template, and the dialog manager's keyboard handling
// (Escape gives IdCancel, Enter the default button, a mnemonic such as "Port &2" its button).
//
// On an interactive display the person at it answers. On the headless display the installed
// message-box responder (message_box.h) answers instead: it is shown the dialog's caption and
// texts, and its answer is pressed as the identifier of a control (a command from it); a
// dialog that is still open afterwards gets IdCancel, as Escape gives, and if even that does
// not end it, it ends with 0.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/window/message.h"
#include "resources/dialog_template.h"

namespace kivoly::platform {

// A dialog procedure answers TRUE (non-zero) for a message it handled; for WmInitDialog TRUE
// lets the dialog manager put the focus on the first control.
using DialogProcedure = intptr_t (*)(KivoHWnd dialog, uint32_t message, WParam first,
                                     LParam second);

// Runs the dialog modally (the owner is disabled meanwhile) and returns what EndDialog was
// given; -1 when the dialog cannot be made.
intptr_t DialogBoxIndirect(const DialogTemplate& dialogTemplate, KivoHWnd owner,
                           DialogProcedure procedure, LParam initParam);
// Ends `dialog`: DialogBoxIndirect returns `result`. False when `dialog` is no running dialog.
bool EndDialog(KivoHWnd dialog, intptr_t result);

// Handles the dialog keys of a message for `dialog` or one of its controls; false when the
// message is not the dialog's (the caller then translates and dispatches it).
bool IsDialogMessage(KivoHWnd dialog, const Message& message);

// The parts DialogBoxIndirect is made of, for dialogs built at run time (message boxes):
// a hidden dialog frame with a client area of `clientWidth` x `clientHeight` pixels, centred on
// the owner (or the screen), and the modal loop that shows and runs it.
KivoHWnd CreateDialogFrame(const char* caption, uint32_t style, int clientWidth, int clientHeight,
                           KivoHWnd owner, DialogProcedure procedure);
intptr_t RunModalDialog(KivoHWnd dialog, KivoHWnd owner, LParam initParam);

// Dialog units of the built-in font to pixels.
Rect DialogUnitsToPixels(const Rect& units);

}  // namespace kivoly::platform
