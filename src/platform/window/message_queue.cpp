#include "platform/window/message_queue.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/clock.h"
#include "platform/internal/window/window_system.h"
#include "platform/key_state.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly::platform {

namespace {

constexpr uint32_t kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 2;
constexpr int kScNcDistance = WmMouseMove - WmNcMouseMove;

Message MakeMessage(KivoHWnd window, uint32_t id, WParam first, LParam second) {
    WindowSystem& system = System();
    Message message{};
    message.hwnd = window;
    message.message = id;
    message.wParam = first;
    message.lParam = second;
    message.time = static_cast<uint32_t>(NowMs());
    message.x = system.cursorPos.x;
    message.y = system.cursorPos.y;
    return message;
}

// Mouse input goes to the capture holder, else to the window under the pointer; a disabled
// child passes it to its parent and a disabled top-level window swallows it.
KivoHWnd MouseTarget(const InputEvent& event, bool& client) {
    WindowSystem& system = System();
    client = true;
    if (system.capture && FindWindow(system.capture)) return system.capture;
    KivoHWnd target = WindowFromPointIn(event.delivered, event.position);
    WindowData* data = FindWindow(target);
    while (data && (data->style & WsDisabled)) {
        if (!(data->style & WsChild)) return nullptr;
        data = FindWindow(data->parent);
    }
    if (!data) return nullptr;
    Point origin = ClientOrigin(*data);
    Rect client_area = ClientArea(*data);
    client = Rect{0, 0, client_area.Width(), client_area.Height()}.Contains(
        {event.position.x - origin.x, event.position.y - origin.y});
    return data->handle;
}

// The message an input event becomes if it is taken out now.
Message RouteInput(const InputEvent& event) {
    WindowSystem& system = System();
    Message message{};
    message.time = event.time;
    message.x = event.position.x;
    message.y = event.position.y;
    if (event.kind == InputEvent::KeyDown || event.kind == InputEvent::KeyUp) {
        bool down = event.kind == InputEvent::KeyDown;
        KivoHWnd target = system.focus ? system.focus : system.active;
        bool sys = (event.alt && !event.control) || event.code == VkMenu || !system.focus;
        message.hwnd = target;
        message.message = down ? (sys ? WmSysKeyDown : WmKeyDown) : (sys ? WmSysKeyUp : WmKeyUp);
        message.wParam = static_cast<WParam>(event.code);
        bool wasDown = (system.keyState[event.code & 0xFF] & 0x80) != 0;
        uint32_t flags =
            1u | (event.alt ? 1u << 29 : 0u) | (wasDown ? 1u << 30 : 0u) | (down ? 0u : 1u << 31);
        message.lParam = static_cast<LParam>(flags);
        return message;
    }
    bool client = true;
    KivoHWnd target = MouseTarget(event, client);
    message.hwnd = target;
    uint32_t id = WmMouseMove;
    if (event.kind == InputEvent::ButtonDown) {
        id = event.code == VkRButton ? WmRButtonDown : WmLButtonDown;
        WindowData* data = FindWindow(target);
        bool wantsDouble = data && (data->windowClass->style & CsDblClks);
        if ((wantsDouble || !client) && target == system.lastMouseWindow &&
            event.code == system.lastClickButton &&
            event.time - system.lastClickTime <= kDoubleClickMs &&
            std::abs(event.position.x - system.lastClickPos.x) <= kDoubleClickDistance &&
            std::abs(event.position.y - system.lastClickPos.y) <= kDoubleClickDistance) {
            id += 2;  // the double-click form of the press
        }
    } else if (event.kind == InputEvent::ButtonUp) {
        id = event.code == VkRButton ? WmRButtonUp : WmLButtonUp;
    }
    WindowData* data = FindWindow(target);
    if (data && !client) {
        message.message = id - kScNcDistance;
        message.wParam = static_cast<WParam>(NonClientHitTest(*data, event.position));
        message.lParam = MakePointLParam(event.position.x, event.position.y);
        return message;
    }
    Point point = event.position;
    if (data) {
        Point origin = ClientOrigin(*data);
        point = {point.x - origin.x, point.y - origin.y};
    }
    message.message = id;
    message.wParam = event.mouseKeys;
    message.lParam = MakePointLParam(point.x, point.y);
    return message;
}

void SetQueueKey(int key, bool down) {
    uint8_t& state = System().keyState[key & 0xFF];
    if (down && !(state & 0x80)) state ^= 0x01;
    state = down ? (state | 0x80) : (state & 0x01);
}

// What taking an input event out of the queue changes: the queue's key state, the click
// memory for double clicks, and the activation of a window clicked on.
void TakeInput(const InputEvent& event, const Message& message) {
    WindowSystem& system = System();
    switch (event.kind) {
        case InputEvent::KeyDown:
        case InputEvent::KeyUp:
            SetQueueKey(event.code, event.kind == InputEvent::KeyDown);
            break;
        case InputEvent::ButtonDown: {
            SetQueueKey(event.code, true);
            bool isDouble = message.message == WmLButtonDblClk ||
                            message.message == WmRButtonDblClk ||
                            message.message == WmNcLButtonDblClk;
            system.lastMouseWindow = isDouble ? nullptr : message.hwnd;
            system.lastClickButton = event.code;
            system.lastClickTime = event.time;
            system.lastClickPos = event.position;
            KivoHWnd top = GetTopLevel(message.hwnd);
            if (top && top != system.desktop && top != system.active && IsWindowEnabled(top)) {
                SetActiveWindow(top);
            }
            break;
        }
        case InputEvent::ButtonUp:
            SetQueueKey(event.code, false);
            break;
        case InputEvent::MouseMove:
            if (WindowData* data = FindWindow(message.hwnd); data && !system.capture) {
                system.cursor = data->windowClass->cursor;
            }
            break;
    }
}

// Waits for `timeoutMs` (negative: without limit). On the virtual clock a wait for a timer
// simply moves the clock on.
bool WaitFor(int timeoutMs) {
    if (timeoutMs >= 0) {
        if (auto* virtualClock = dynamic_cast<VirtualClock*>(&CurrentClock())) {
            virtualClock->AdvanceUs(static_cast<int64_t>(timeoutMs) * 1000 + 1000);
            return true;
        }
    }
    return CurrentDisplay().WaitForInput(timeoutMs);
}

char CharacterOf(int key, bool shift, bool control) {
    if (key >= 'A' && key <= 'Z') {
        if (control) return static_cast<char>(key - 'A' + 1);
        return static_cast<char>(shift ? key : key - 'A' + 'a');
    }
    if (control) return key == VkCancel ? 0x03 : 0;
    if (key >= '0' && key <= '9') {
        static const char kShifted[] = ")!@#$%^&*(";
        return shift ? kShifted[key - '0'] : static_cast<char>(key);
    }
    switch (key) {
        case VkSpace:
        case VkReturn:
        case VkEscape:
        case VkBack:
        case VkTab:
            return static_cast<char>(key);
        default:
            break;
    }
    static const struct {
        int key;
        char plain;
        char shifted;
    } kPunctuation[] = {
        {VkOemSemicolon, ';', ':'}, {VkOemPlus, '=', '+'},   {VkOemComma, ',', '<'},
        {VkOemMinus, '-', '_'},     {VkOemPeriod, '.', '>'}, {VkOemSlash, '/', '?'},
        {VkOemBackquote, '`', '~'}, {VkOemOpen, '[', '{'},   {VkOemBackslash, '\\', '|'},
        {VkOemClose, ']', '}'},     {VkOemQuote, '\'', '"'},
    };
    for (const auto& entry : kPunctuation) {
        if (entry.key == key) return shift ? entry.shifted : entry.plain;
    }
    return 0;
}

}  // namespace

bool PassesFilter(KivoHWnd target, uint32_t message, KivoHWnd window, uint32_t first,
                  uint32_t last) {
    if (window && target != window && !IsChild(window, target)) return false;
    if (first == 0 && last == 0) return true;
    return message >= first && message <= last;
}

LResult SendMessage(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    WindowData* data = FindWindow(window);
    if (!data || !data->procedure) return 0;
    return data->procedure(window, message, first, second);
}

bool PostMessage(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (window && !FindWindow(window)) return false;
    System().posted.push_back(MakeMessage(window, message, first, second));
    return true;
}

void PostQuitMessage(int exitCode) {
    WindowSystem& system = System();
    system.quitPosted = true;
    system.quitCode = exitCode;
}

bool PeekMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last, unsigned flags) {
    PollDisplayInput();
    WindowSystem& system = System();
    bool remove = (flags & PmRemove) != 0;
    for (auto it = system.posted.begin(); it != system.posted.end(); ++it) {
        if (!PassesFilter(it->hwnd, it->message, window, first, last)) continue;
        message = *it;
        if (remove) system.posted.erase(it);
        return true;
    }
    if (system.quitPosted && PassesFilter(nullptr, WmQuit, nullptr, first, last)) {
        message = MakeMessage(nullptr, WmQuit, static_cast<WParam>(system.quitCode), 0);
        if (remove) system.quitPosted = false;
        return true;
    }
    for (auto it = system.input.begin(); it != system.input.end(); ++it) {
        Message routed = RouteInput(*it);
        bool forWindow = routed.hwnd || !window;
        if (!forWindow || !PassesFilter(routed.hwnd, routed.message, window, first, last)) {
            continue;
        }
        message = routed;
        if (remove) {
            InputEvent event = *it;
            system.input.erase(it);
            TakeInput(event, routed);
        }
        return true;
    }
    if (FindPaintMessage(message, window, first, last)) return true;
    return TakeDueTimer(message, window, first, last, remove);
}

int GetMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last) {
    for (;;) {
        if (PeekMessage(message, window, first, last, PmRemove)) {
            return message.message == WmQuit ? 0 : 1;
        }
        if (!WaitFor(MillisecondsToNextTimer())) return -1;
    }
}

bool TranslateMessage(const Message& message) {
    if (message.message != WmKeyDown && message.message != WmSysKeyDown) return false;
    const auto& keys = System().keyState;
    bool shift = keys[VkShift] & 0x80;
    bool control = keys[VkControl] & 0x80;
    char character = CharacterOf(static_cast<int>(message.wParam), shift, control);
    if (!character) return false;
    uint32_t id = message.message == WmSysKeyDown ? WmSysChar : WmChar;
    Message posted = message;
    posted.message = id;
    posted.wParam = static_cast<unsigned char>(character);
    System().posted.push_back(posted);
    return true;
}

LResult DispatchMessage(const Message& message) {
    if (!message.hwnd) return 0;
    LResult result = SendMessage(message.hwnd, message.message, message.wParam, message.lParam);
    // A window that did not paint is taken as painted, so that a loop that pumps until the
    // queue is empty cannot spin on its paint message for ever.
    if (message.message == WmPaint) ValidateRect(message.hwnd, nullptr);
    return result;
}

LResult DefWindowProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    WindowData* data = FindWindow(window);
    if (!data) return 0;
    switch (message) {
        case WmNcCreate:
            return 1;
        case WmClose:
            DestroyWindow(window);
            return 0;
        case WmPaint: {
            PaintRecord paint;
            BeginPaint(window, paint);
            EndPaint(window, paint);
            return 0;
        }
        case WmEraseBkgnd:
            return EraseWithClassBackground(window, reinterpret_cast<DeviceContext*>(first));
        case WmSetText: {
            const char* text = reinterpret_cast<const char*>(second);
            data->title = text ? text : "";
            if ((data->style & WsCaption) == WsCaption) {
                Region frame = VisibleRegion(*data, false);
                frame.Subtract(VisibleRegion(*data, true));
                DrawNonClient(*data, frame);
                CurrentDisplay().Present();
            }
            return 1;
        }
        case WmGetText: {
            char* buffer = reinterpret_cast<char*>(second);
            if (!buffer || first == 0) return 0;
            size_t count = std::min<size_t>(first - 1, data->title.size());
            std::memcpy(buffer, data->title.data(), count);
            buffer[count] = '\0';
            return static_cast<LResult>(count);
        }
        case WmMouseActivate:
            return 1;
        case WmNcLButtonDown:
            if (first == HtCaption && !IsZoomed(window)) {
                RunMoveLoop(window, {PointX(second), PointY(second)});
            }
            return 0;
        case WmNcLButtonUp:
            if (first == HtClose) {
                SendMessage(window, WmSysCommand, ScClose, second);
            } else if (first == HtMaxButton) {
                SendMessage(window, WmSysCommand, IsZoomed(window) ? ScRestore : ScMaximize,
                            second);
            } else if (first == HtMinButton) {
                SendMessage(window, WmSysCommand, ScMinimize, second);
            }
            return 0;
        case WmNcLButtonDblClk:
            if (first == HtCaption && (data->style & WsMaximizeBox)) {
                SendMessage(window, WmSysCommand, IsZoomed(window) ? ScRestore : ScMaximize, 0);
            }
            return 0;
        case WmSysCommand:
            switch (first & 0xFFF0) {
                case ScClose:
                    SendMessage(window, WmClose, 0, 0);
                    break;
                case ScMaximize:
                    ShowWindow(window, SwShowMaximized);
                    break;
                case ScMinimize:
                    ShowWindow(window, SwMinimize);
                    break;
                case ScRestore:
                    ShowWindow(window, SwRestore);
                    break;
                default:
                    break;
            }
            return 0;
        default:
            return 0;
    }
}

void RunMoveLoop(KivoHWnd window, Point start) {
    WindowData* data = FindWindow(window);
    if (!data) return;
    Rect origin = data->rect;
    SetCapture(window);
    Message message;
    for (;;) {
        int got = GetMessage(message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (message.message == WmMouseMove && message.hwnd == window) {
            MoveWindow(window, origin.left + message.x - start.x, origin.top + message.y - start.y,
                       origin.Width(), origin.Height(), true);
            continue;
        }
        if (message.message == WmLButtonUp) break;
        TranslateMessage(message);
        DispatchMessage(message);
        if (GetCapture() != window) return;
    }
    if (GetCapture() == window) ReleaseCapture();
}

int16_t GetKeyState(int virtualKey) {
    uint8_t state = System().keyState[virtualKey & 0xFF];
    return static_cast<int16_t>(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
}

void ForgetWindowInQueue(KivoHWnd window) {
    WindowSystem& system = System();
    std::erase_if(system.posted, [window](const Message& m) { return m.hwnd == window; });
    std::erase_if(system.timers, [window](const TimerEntry& t) { return t.window == window; });
}

void PollDisplayInput() {
    CurrentDisplay().PollInput();
}

}  // namespace kivoly::platform
