#include "platform/window/input_injection.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/internal/window/window_system.h"
#include "platform/key_state.h"
#include "platform/window/display.h"

namespace kivoly::platform {

namespace {

void Enqueue(InputEvent event) {
    WindowSystem& system = System();
    event.time = static_cast<uint32_t>(NowMs());
    event.alt = IsKeyDownNow(VkMenu);
    event.control = IsKeyDownNow(VkControl);
    event.mouseKeys = (IsKeyDownNow(VkLButton) ? MkLButton : 0u) |
                      (IsKeyDownNow(VkRButton) ? MkRButton : 0u) |
                      (IsKeyDownNow(VkShift) ? MkShift : 0u) | (event.control ? MkControl : 0u);
    // Pointer moves that nobody has taken out yet merge into one, as on a real queue.
    if (event.kind == InputEvent::MouseMove && !system.input.empty() &&
        system.input.back().kind == InputEvent::MouseMove) {
        system.input.back() = event;
        return;
    }
    system.input.push_back(event);
}

Point OnScreen(Point point) {
    Surface& screen = Screen();
    return {std::clamp(point.x, 0, screen.Width() - 1),
            std::clamp(point.y, 0, screen.Height() - 1)};
}

}  // namespace

void InjectMouseMove(Point screen, KivoHWnd delivered) {
    screen = OnScreen(screen);
    System().cursorPos = screen;
    InputEvent event{InputEvent::MouseMove, 0, screen};
    event.delivered = delivered;
    Enqueue(event);
}

void InjectMouseButton(int button, bool down, Point screen, KivoHWnd delivered) {
    screen = OnScreen(screen);
    if (screen != System().cursorPos) InjectMouseMove(screen, delivered);
    SetKeyDownNow(button, down);
    InputEvent event{down ? InputEvent::ButtonDown : InputEvent::ButtonUp, button, screen};
    event.delivered = delivered;
    Enqueue(event);
}

void InjectKey(int virtualKey, bool down) {
    SetKeyDownNow(virtualKey, down);
    Enqueue({down ? InputEvent::KeyDown : InputEvent::KeyUp, virtualKey, System().cursorPos});
}

void InjectClick(Point screen) {
    InjectMouseButton(VkLButton, true, screen);
    InjectMouseButton(VkLButton, false, screen);
}

void InjectKeyPress(int virtualKey, unsigned modifiers) {
    if (modifiers & ModShift) InjectKey(VkShift, true);
    if (modifiers & ModControl) InjectKey(VkControl, true);
    if (modifiers & ModAlt) InjectKey(VkMenu, true);
    InjectKey(virtualKey, true);
    InjectKey(virtualKey, false);
    if (modifiers & ModAlt) InjectKey(VkMenu, false);
    if (modifiers & ModControl) InjectKey(VkControl, false);
    if (modifiers & ModShift) InjectKey(VkShift, false);
}

}  // namespace kivoly::platform
