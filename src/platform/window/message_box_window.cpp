#include "platform/internal/window/message_box_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/internal/window/static_control.h"
#include "platform/message_box.h"
#include "platform/window/button.h"
#include "platform/window/dialog.h"
#include "platform/window/display.h"
#include "platform/window/window.h"

namespace kivoly::platform {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 8;
constexpr int kMinTextWidth = 160;
constexpr int kMaxTextWidth = 480;
constexpr unsigned kButtonMask = 0x000F;

struct ButtonSpec {
    int id;
    const char* label;
};

std::vector<ButtonSpec> ButtonsOf(unsigned style) {
    switch (style & kButtonMask) {
        case MbOkCancel:
            return {{IdOk, "OK"}, {IdCancel, "Cancel"}};
        case MbYesNo:
            return {{IdYes, "&Yes"}, {IdNo, "&No"}};
        default:
            return {{IdOk, "OK"}};
    }
}

intptr_t MessageBoxProc(KivoHWnd box, uint32_t message, WParam first, LParam /*second*/) {
    if (message == WmInitDialog) return 1;
    if (message == WmCommand) {
        int id = LoWord(first);
        // Escape gives Cancel; a box without that button ignores it (OK alone takes it).
        if (GetDlgItem(box, id)) {
            EndDialog(box, id);
        } else if (id == IdCancel && GetDlgItem(box, IdOk) && !GetDlgItem(box, IdNo)) {
            EndDialog(box, IdOk);
        }
        return 1;
    }
    return 0;
}

}  // namespace

int RunMessageBoxWindow(KivoHWnd owner, const char* text, const char* caption, unsigned style) {
    std::string message = text ? text : "";
    DeviceContext measure(Screen());
    std::vector<std::string> lines = WrapText(measure, message, kMaxTextWidth);
    int textWidth = kMinTextWidth;
    for (const std::string& line : lines) {
        textWidth = std::max(textWidth, measure.GetTextExtent(line).cx);
    }
    int lineHeight = measure.GetTextMetrics().height;
    int textHeight = std::max<int>(1, static_cast<int>(lines.size())) * lineHeight;
    std::vector<ButtonSpec> buttons = ButtonsOf(style);
    int rowWidth = static_cast<int>(buttons.size()) * (kButtonWidth + kButtonGap) - kButtonGap;
    int width = std::max(textWidth, rowWidth) + 2 * kMargin;
    int height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;

    KivoHWnd box = CreateDialogFrame(caption ? caption : "", WsCaption | WsSysMenu | DsModalFrame,
                                     width, height, owner, MessageBoxProc);
    if (!box) return -1;
    CreateWindow(0, kStaticClass, message.c_str(), WsChild | WsVisible, kMargin, kMargin,
                 width - 2 * kMargin, textHeight, box, -1, nullptr);
    int x = (width - rowWidth) / 2;
    bool first = true;
    for (const ButtonSpec& button : buttons) {
        CreateWindow(0, kButtonClass, button.label,
                     WsChild | WsVisible | (first ? BsDefPushButton : BsPushButton), x,
                     height - kMargin - kButtonHeight, kButtonWidth, kButtonHeight, box, button.id,
                     nullptr);
        x += kButtonWidth + kButtonGap;
        first = false;
    }
    return static_cast<int>(RunModalDialog(box, owner, 0));
}

}  // namespace kivoly::platform
