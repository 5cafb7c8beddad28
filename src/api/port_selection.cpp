#include "api/internal/port_selection.h"

#include "platform/window/dialog.h"
#include "platform/window/message.h"
#include "platform/window/window.h"
#include "resources/dialog_template.h"

namespace kivoly {

namespace {

intptr_t PortDialogProcedure(KivoHWnd dialog, uint32_t message, platform::WParam first,
                             platform::LParam second) {
    // One dialog at a time (it is modal): the port it stores into.
    static int32_t* port = nullptr;
    switch (message) {
        case platform::WmInitDialog: {
            port = reinterpret_cast<int32_t*>(second);
            platform::Rect desktop;
            platform::Rect frame;
            platform::GetClientRect(platform::GetDesktopWindow(), desktop);
            platform::GetWindowRect(dialog, frame);
            platform::MoveWindow(dialog, (desktop.Width() - frame.Width()) / 2,
                                 (desktop.Height() - frame.Height()) / 2, frame.Width(),
                                 frame.Height(), false);
            return 1;
        }
        case platform::WmCommand: {
            const int id = static_cast<int>(first & 0xFFFF);
            if (id >= kPortButtonFirstId && id < kPortButtonFirstId + 3) {
                *port = id - kPortButtonFirstId + 1;
                platform::ShowWindow(dialog, platform::SwHide);
                platform::EndDialog(dialog, 1);
                return 1;
            }
            if (id == kDialogCancelId) {
                platform::ShowWindow(dialog, platform::SwHide);
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
    return platform::DialogBoxIndirect(*dialog, nullptr, PortDialogProcedure,
                                       reinterpret_cast<platform::LParam>(port));
}

}  // namespace kivoly
