#include "resources/dialog_template.h"

namespace kivoly {

namespace {
// Dialog 101: the device was not found on the configured port.
const DialogTemplate kPortDialog = {
    kPortDialogId,
    "Kivoly hardware not found!",
    0,
    0,
    260,
    95,
    DsModalFrame | WsPopup | WsCaption | WsSysMenu,
    "MS Sans Serif",
    8,
    {
        {"STATIC",
         "Kivoly hardware does not appear to be connected to the expected parallel port.  "
         "Select another parallel port or check that Kivoly is connected and has power.",
         -1, 7, 7, 246, 59, 0},
        {"BUTTON", "Port &1", kPortButtonFirstId, 7, 74, 50, 14, BsDefPushButton},
        {"BUTTON", "Port &2", kPortButtonFirstId + 1, 72, 74, 50, 14, BsDefPushButton},
        {"BUTTON", "Port &3", kPortButtonFirstId + 2, 137, 74, 50, 14, BsDefPushButton},
        {"BUTTON", "Cancel", kDialogCancelId, 202, 74, 50, 14, BsPushButton},
    },
};
}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    return id == kPortDialogId ? &kPortDialog : nullptr;
}

}  // namespace kivoly
