#include "platform/message_box.h"

#include <array>

#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

std::vector<MessageBoxRecord>& Shown() {
    static std::vector<MessageBoxRecord> shown;
    return shown;
}

}  // namespace

int DefaultAnswer(unsigned style) {
    // The buttons of each button set, left to right; a set has at most three.
    static constexpr std::array<std::array<int, 3>, 6> kButtons{{
        {IdOk, 0, 0},
        {IdOk, IdCancel, 0},
        {IdAbort, IdRetry, IdIgnore},
        {IdYes, IdNo, IdCancel},
        {IdYes, IdNo, 0},
        {IdRetry, IdCancel, 0},
    }};
    const unsigned set = style & 0x0F;
    const auto& buttons = kButtons[set < kButtons.size() ? set : 0];
    const unsigned chosen = (style >> 8) & 0x0F;
    // A default button beyond the set's buttons falls back to the first.
    return chosen < buttons.size() && buttons[chosen] ? buttons[chosen] : buttons[0];
}

int MessageBox(KivoHWnd owner, const char* text, const char* caption, unsigned style) {
    Shown().push_back({owner, text ? text : "", caption ? caption : "", style});
    // A copy: the responder may show another box, which grows the list.
    const MessageBoxRecord box = Shown().back();
    const auto& responder = Process().messageBox;
    if (responder.function) return responder.function(box, responder.context);
    return DefaultAnswer(style);
}

void InstallMessageBoxResponder(MessageBoxResponder responder, void* context) {
    Process().messageBox = {responder, responder ? context : nullptr};
}

const std::vector<MessageBoxRecord>& ShownMessageBoxes() {
    return Shown();
}

void ClearShownMessageBoxes() {
    Shown().clear();
}

}  // namespace kivoly::platform
