// The host's calls for the display, the message loop and injected input (kivoly/host.h).
#include "kivoly/host.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/host_display.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"

using namespace kivoly::platform;

namespace {

constexpr int32_t kMaxScreenSide = 8192;

Message FromHost(const KivoMessage& m) {
    return {m.hwnd, m.message, m.wParam, m.lParam, m.time, m.x, m.y};
}

void ToHost(const Message& m, KivoMessage& host) {
    host = {m.hwnd, m.message, m.wParam, m.lParam, m.time, m.x, m.y};
}

}  // namespace

extern "C" {

int32_t KivolyHostUseHeadlessDisplay(int32_t width, int32_t height) {
    if (width < 0 || height < 0 || width > kMaxScreenSide || height > kMaxScreenSide) return 0;
    CloseDesktopDisplay();
    NoteHeadlessDisplayChosen();
    if (width > 0 && height > 0) SetScreenSize(width, height);
    return 1;
}

int32_t KivolyHostGetMessage(KivoMessage* message) {
    if (!message) return -1;
    Message got{};
    const int32_t result = GetMessage(got, nullptr, 0, 0);
    if (result != -1) ToHost(got, *message);
    return result;
}

int32_t KivolyHostPeekMessage(KivoMessage* message, int32_t remove) {
    if (!message) return 0;
    Message got{};
    const bool found = PeekMessage(got, nullptr, 0, 0, remove ? PmRemove : PmNoRemove);
    if (found) ToHost(got, *message);
    return found ? 1 : 0;
}

int32_t KivolyHostTranslateMessage(const KivoMessage* message) {
    return message && TranslateMessage(FromHost(*message)) ? 1 : 0;
}

intptr_t KivolyHostDispatchMessage(const KivoMessage* message) {
    return message ? DispatchMessage(FromHost(*message)) : 0;
}

void KivolyHostPostQuitMessage(int32_t exitCode) {
    PostQuitMessage(exitCode);
}

void KivolyHostInjectMouseButton(int32_t button, int32_t down, int32_t x, int32_t y) {
    if (button != VkLButton && button != VkRButton) return;
    InjectMouseButton(button, down != 0, {x, y});
}

void KivolyHostInjectKey(int32_t virtualKey, int32_t down) {
    if (virtualKey <= 0 || virtualKey > 0xFF) return;
    InjectKey(virtualKey, down != 0);
}

int32_t KivolyHostSaveScreen(const char* path) {
    return SaveScreenPng(path) ? 1 : 0;
}

}  // extern "C"
