#include "platform/window/display.h"

#include <chrono>
#include <thread>

#include "platform/internal/window/window_system.h"
#include "platform/process_state.h"

namespace kivoly::platform {

namespace {

constexpr int kDefaultScreenWidth = 1024;
constexpr int kDefaultScreenHeight = 768;

class HeadlessDisplay : public Display {
  public:
    bool WaitForInput(int timeoutMs) override {
        if (timeoutMs >= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return true;
        }
        return idleHandler_ && idleHandler_(idleContext_);
    }

    IdleHandler idleHandler_ = nullptr;
    void* idleContext_ = nullptr;
};

HeadlessDisplay& Headless() {
    static HeadlessDisplay display;
    return display;
}

}  // namespace

Surface& Screen() {
    static Surface screen(kDefaultScreenWidth, kDefaultScreenHeight);
    return screen;
}

void SetScreenSize(int width, int height) {
    Surface& screen = Screen();
    screen.Resize(width, height);
    if (WindowData* desktop = FindWindow(System().desktop)) {
        desktop->rect = screen.Bounds();
        desktop->normalRect = desktop->rect;
    }
    ExposeScreenArea(Region(screen.Bounds()));
    CurrentDisplay().Present();
}

Display& CurrentDisplay() {
    Display* installed = Process().display;
    return installed ? *installed : Headless();
}

void InstallDisplay(Display* display) {
    Process().display = display;
}

void SetHeadlessIdleHandler(IdleHandler handler, void* context) {
    Headless().idleHandler_ = handler;
    Headless().idleContext_ = context;
}

}  // namespace kivoly::platform
