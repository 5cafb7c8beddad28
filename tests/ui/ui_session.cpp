#include "ui_session.h"

#include "api/handed_out.h"
#include "kivoly/host.h"
#include "output/skin_archive.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/host_display.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/golden_picture.h"

namespace kivoly::test {

UiSession::UiSession() {
    platform::NoteHeadlessDisplayChosen();
    SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
    handle = KivoAlloc();
}

UiSession::~UiSession() {
    // As a host does when it ends: the picture it handed the library is its own to free.
    if (Grabber* grabber = Grabber::From(handle); grabber && grabber->CurrentPicture()) {
        DestroyPicture(grabber->CurrentPicture());
    }
    KivoFree(handle);
    SetSkinArchiveOverride(nullptr);
}

KivoHWnd UiSession::Make() {
    window = KivoMakeUI(handle, nullptr, platform::SwShow);
    Pump();
    return window;
}

void UiSession::Pump() {
    KivoMessage message;
    while (KivolyHostPeekMessage(&message, 1)) {
        if (KivoProcessWindowsMsg(handle, &message)) continue;
        KivolyHostTranslateMessage(&message);
        KivolyHostDispatchMessage(&message);
    }
}

void UiSession::Press(int virtualKey, unsigned modifiers) {
    platform::InjectKeyPress(virtualKey, modifiers);
    Pump();
}

void UiSession::Button(bool down, platform::Point at) {
    platform::InjectMouseButton(platform::VkLButton, down, at);
    Pump();
}

void UiSession::ExpectShows(const std::string& name, platform::Rect area, KivoHWnd shown) {
    ExpectGolden(name, ClientPicture(shown ? shown : window, area));
}

}  // namespace kivoly::test
