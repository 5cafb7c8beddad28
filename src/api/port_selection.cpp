#include "api/port_selection.h"

#include "platform/dialog_box.h"
#include "resources/dialog_template.h"

namespace kivoly {

namespace {

// Centring on the desktop needs a window of the dialog's own, which a dialog answered
// elsewhere does not have; the procedure keeps only the port address.
intptr_t PortDialogProcedure(KivoHWnd dialog, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    static int32_t* port = nullptr;
    switch (message) {
        case platform::DmInitDialog:
            port = reinterpret_cast<int32_t*>(lParam);
            return 1;
        case platform::DmCommand: {
            const int id = static_cast<int>(wParam & 0xFFFF);
            if (id >= kPortButtonFirstId && id < kPortButtonFirstId + 3) {
                *port = id - kPortButtonFirstId + 1;
                platform::EndDialog(dialog, 1);
                return 1;
            }
            if (id == kDialogCancelId) {
                platform::EndDialog(dialog, 0);
                return 1;
            }
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace

intptr_t AskForPort(int32_t* port) {
    const DialogTemplate* dialog = FindDialogTemplate(kPortDialogId);
    if (!dialog) return -1;
    return platform::DialogBoxParam(*dialog, nullptr, PortDialogProcedure,
                                    reinterpret_cast<intptr_t>(port));
}

}  // namespace kivoly
