// Modal dialogs built from a resource template (resources/dialog_template.h). The dialog's
// procedure gets the initialisation message with the caller's parameter, then the commands of
// the controls pressed, until it calls EndDialog; DialogBoxParam returns the result it gave.
//
// Who presses the controls is the installed responder's business: a host that shows the dialog
// to a person, a terminal prompt, or a test. Without a responder the dialog cannot appear and
// DialogBoxParam returns -1, as the system does for a dialog it cannot create.
#pragma once

#include <cstdint>

#include "kivoly/kivoly.h"
#include "resources/dialog_template.h"

namespace kivoly::platform {

enum DialogMessage : uint32_t {
    DmInitDialog = 0x0110,  // lParam: the caller's parameter
    DmCommand = 0x0111,     // wParam: the control's identifier
};

// Answers TRUE (non-zero) for a message it handled.
using DialogProcedure = intptr_t (*)(KivoHWnd dialog, uint32_t message, uintptr_t wParam,
                                     intptr_t lParam);

intptr_t DialogBoxParam(const DialogTemplate& dialogTemplate, KivoHWnd owner,
                        DialogProcedure procedure, intptr_t parameter);
// Ends the dialog that is running with `result`.
void EndDialog(KivoHWnd dialog, intptr_t result);

// Picks the control to press in a shown dialog: its identifier, or -1 when the dialog cannot
// be shown. Asked again while the procedure does not end the dialog.
using DialogResponder = int (*)(const DialogTemplate& dialogTemplate, void* context);
// Installs a responder; null removes it.
void InstallDialogResponder(DialogResponder responder, void* context);

}  // namespace kivoly::platform
