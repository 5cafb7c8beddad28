#include "ui_session.h"

#include "api/handed_out.h"
#include "output/packed_dib.h"
#include "output/skin_archive.h"
#include "platform/window/display.h"
#include "platform/window/host_display.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly::test {

UiSession::UiSession() {
    platform::NoteHeadlessDisplayChosen();
    SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
    handle = KivoAlloc();
}

UiSession::~UiSession() {
    // As a host does when it ends: the picture it handed the library is its own to free.
    if (Grabber* grabber = Grabber::From(handle); grabber && grabber->currentPicture) {
        DestroyPicture(grabber->currentPicture);
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
    platform::Message message;
    while (platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
        if (KivoProcessWindowsMsg(handle, &message)) continue;
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    }
}

void UiSession::ClickAt(int x, int y) {
    platform::InjectClick(ScreenPoint(window, x, y));
    Pump();
}

void UiSession::Press(int virtualKey, unsigned modifiers) {
    platform::InjectKeyPress(virtualKey, modifiers);
    Pump();
}

uint32_t UiSession::Pixel(int x, int y) {
    return ClientPixel(window, x, y);
}

uint32_t UiSession::MemberPixel(int member, int x, int y) {
    const KivoBitmapInfoHeader* header = main().Skin()[member];
    const int stride = DibStride(header->biBitCount, header->biWidth);
    const uint8_t* row =
        DibPixels(header) + static_cast<size_t>(stride) * (header->biHeight - 1 - y);
    if (header->biBitCount == 24) {
        const uint8_t* p = row + 3 * x;
        return uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
    const uint8_t* entry = reinterpret_cast<const uint8_t*>(header) + header->biSize + 4 * row[x];
    return uint32_t{entry[2]} << 16 | uint32_t{entry[1]} << 8 | entry[0];
}

}  // namespace kivoly::test
