#include "platform/dialog_box.h"

#include "platform/window/dialog.h"
#include "platform/window/display.h"

namespace kivoly::platform {

namespace {
struct Responder {
    DialogResponder function = nullptr;
    void* context = nullptr;
};
Responder gResponder;

struct RunningDialog {
    bool ended = false;
    intptr_t result = 0;
};
RunningDialog* gRunning = nullptr;

// Presses that do not end the dialog are answered again, but not for ever.
constexpr int kMaxPresses = 64;
}  // namespace

void InstallDialogResponder(DialogResponder responder, void* context) {
    gResponder = {responder, context};
}

intptr_t DialogBoxParam(const DialogTemplate& dialogTemplate, KivoHWnd owner,
                        DialogProcedure procedure, intptr_t parameter) {
    // A person at an interactive display answers the dialog on the window system.
    if (!gResponder.function && procedure && CurrentDisplay().IsInteractive()) {
        return DialogBoxIndirect(dialogTemplate, owner, procedure, parameter);
    }
    if (!gResponder.function || !procedure) return -1;
    RunningDialog running;
    RunningDialog* outer = gRunning;
    gRunning = &running;
    // The dialog has no window of its own here; its handle only identifies it to EndDialog.
    KivoHWnd handle = reinterpret_cast<KivoHWnd>(&running);
    procedure(handle, DmInitDialog, 0, parameter);
    for (int press = 0; !running.ended && press < kMaxPresses; ++press) {
        const int id = gResponder.function(dialogTemplate, gResponder.context);
        if (id < 0) {
            running.result = -1;
            break;
        }
        procedure(handle, DmCommand, static_cast<uintptr_t>(id), 0);
    }
    gRunning = outer;
    return running.ended ? running.result : -1;
}

void EndDialog(KivoHWnd dialog, intptr_t result) {
    if (EndWindowDialog(dialog, result)) return;
    if (!gRunning || reinterpret_cast<KivoHWnd>(gRunning) != dialog) return;
    gRunning->ended = true;
    gRunning->result = result;
}

}  // namespace kivoly::platform
