#include "window_session.h"

#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly::test {

namespace {
// Virtual time starts well past zero, so that "now minus an interval" never wraps.
constexpr int64_t kStartUs = int64_t{1000000} * 1000;
}  // namespace

WindowSession::WindowSession() : clock_(1) {
    clock_.AdvanceUs(kStartUs);
    platform::InstallClock(&clock_);
    platform::ResetWindowSystem();
}

WindowSession::~WindowSession() {
    platform::ResetWindowSystem();
    platform::SetHeadlessIdleHandler(nullptr, nullptr);
    platform::InstallClock(nullptr);
}

int PumpMessages() {
    int count = 0;
    platform::Message message;
    while (platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
        ++count;
    }
    return count;
}

uint32_t ClientPixel(KivoHWnd window, int x, int y) {
    platform::Point point = ScreenPoint(window, x, y);
    return platform::Screen().Pixel(point.x, point.y);
}

platform::Point ScreenPoint(KivoHWnd window, int x, int y) {
    platform::Point point{x, y};
    platform::ClientToScreen(window, point);
    return point;
}

}  // namespace kivoly::test
