#include "platform/window/timers.h"

#include <algorithm>

#include "platform/clock.h"
#include "platform/internal/window/window_system.h"

namespace kivoly::platform {

namespace {
// Shorter periods are raised to this, as on the system: a handler slower than the period
// would otherwise keep a message loop busy with timer messages for ever.
constexpr unsigned kMinimumPeriodMs = 10;
}  // namespace

uintptr_t SetTimer(KivoHWnd window, uintptr_t id, unsigned elapseMs) {
    if (window && !FindWindow(window)) return 0;
    WindowSystem& system = System();
    if (!window) id = ++system.nextThreadTimer;
    elapseMs = std::max(elapseMs, kMinimumPeriodMs);
    int32_t due = NowMs() + static_cast<int32_t>(elapseMs);
    for (TimerEntry& timer : system.timers) {
        if (timer.window == window && timer.id == id) {
            timer.elapseMs = elapseMs;
            timer.dueMs = due;
            return id;
        }
    }
    system.timers.push_back({window, id, elapseMs, due});
    return window ? (id ? id : 1) : id;
}

bool KillTimer(KivoHWnd window, uintptr_t id) {
    return std::erase_if(System().timers, [window, id](const TimerEntry& timer) {
               return timer.window == window && timer.id == id;
           }) > 0;
}

bool TakeDueTimer(Message& message, KivoHWnd window, uint32_t first, uint32_t last, bool remove) {
    WindowSystem& system = System();
    int32_t now = NowMs();
    TimerEntry* earliest = nullptr;
    for (TimerEntry& timer : system.timers) {
        if (now - timer.dueMs < 0) continue;
        if (!PassesFilter(timer.window, WmTimer, window, first, last)) continue;
        if (!window && timer.window && !FindWindow(timer.window)) continue;
        if (!earliest || timer.dueMs - earliest->dueMs < 0) earliest = &timer;
    }
    if (!earliest) return false;
    message = Message{};
    message.hwnd = earliest->window;
    message.message = WmTimer;
    message.wParam = earliest->id;
    message.time = static_cast<uint32_t>(now);
    message.x = system.cursorPos.x;
    message.y = system.cursorPos.y;
    if (remove) earliest->dueMs = now + static_cast<int32_t>(earliest->elapseMs);
    return true;
}

int MillisecondsToNextTimer() {
    const auto& timers = System().timers;
    if (timers.empty()) return -1;
    int32_t now = NowMs();
    int32_t best = timers.front().dueMs - now;
    for (const TimerEntry& timer : timers)
        best = std::min(best, timer.dueMs - now);
    return std::max(best, 0);
}

}  // namespace kivoly::platform
