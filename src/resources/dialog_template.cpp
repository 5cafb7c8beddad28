#include "resources/dialog_template.h"

#include <array>

namespace kivoly {
namespace {

constexpr uint32_t kWsPopup = 0x80000000;
constexpr uint32_t kWsCaption = 0x00C00000;
constexpr uint32_t kWsSysMenu = 0x00080000;
constexpr uint32_t kBsPushButton = 0x0;
constexpr uint32_t kBsDefPushButton = 0x1;

constexpr std::array kPortDialogItems = {
    DialogItem{"STATIC",
               "Kivoly hardware does not appear to be connected to the expected parallel port.  "
               "Select another parallel port or check that Kivoly is connected and has power.",
               -1, 0, 7, 7, 246, 59},
    DialogItem{"BUTTON", "Port &1", kPortButtonFirstId, kBsDefPushButton, 7, 74, 50, 14},
    DialogItem{"BUTTON", "Port &2", kPortButtonFirstId + 1, kBsDefPushButton, 72, 74, 50, 14},
    DialogItem{"BUTTON", "Port &3", kPortButtonFirstId + 2, kBsDefPushButton, 137, 74, 50, 14},
    DialogItem{"BUTTON", "Cancel", kDialogCancelId, kBsPushButton, 202, 74, 50, 14},
};

// Dialog 101: the device was not found on the configured port.
constexpr DialogTemplate kPortDialog = {
    kDialogModalFrame | kWsPopup | kWsCaption | kWsSysMenu,
    "Kivoly hardware not found!",
    0,
    0,
    260,
    95,
    "MS Sans Serif",
    8,
    kPortDialogItems,
};

}  // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    return id == kPortDialogId ? &kPortDialog : nullptr;
}

}  // namespace kivoly
