// The inner state of the window system: every window, the queue, capture, focus and cursor.
// Only the window system's own files include this; everyone else uses the public headers.
//
// The state belongs to the thread that uses it (each thread has its own windows and queue);
// the screen it draws on belongs to the display (display.h).
#pragma once

#include <array>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi/device_context.h"
#include "platform/gdi/geometry.h"
#include "platform/window/input.h"
#include "platform/window/message.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

struct WindowData {
    KivoHWnd handle = nullptr;
    const WindowClass* windowClass = nullptr;
    WindowProcedure procedure = nullptr;
    std::string title;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int controlId = 0;
    KivoHWnd parent = nullptr;       // a child's parent; for top-level windows the desktop
    KivoHWnd owner = nullptr;        // a top-level window's owner, or null
    std::vector<KivoHWnd> children;  // bottom of the z-order first
    Rect rect;                       // in the parent's client co-ordinates (screen for top-level)
    bool maximized = false;
    bool minimized = false;
    Rect normalRect;                          // where a restore puts the window
    std::map<std::string, void*> properties;  // names in lower case
    std::vector<uint8_t> extraBytes;
    Region update;  // client co-ordinates
    bool erasePending = false;
    bool destroying = false;
    std::unique_ptr<DeviceContext> ownDc;  // for classes with their own device context
};

// One event of user input, waiting in the queue until it is taken out and routed.
struct InputEvent {
    enum Kind { MouseMove, ButtonDown, ButtonUp, KeyDown, KeyUp } kind;
    int code = 0;    // VkLButton / VkRButton for buttons, the virtual key for keys
    Point position;  // screen position of the pointer
    uint32_t time = 0;
    unsigned mouseKeys = 0;        // MkLButton, MkRButton, MkShift, MkControl held after the event
    bool alt = false;              // Alt held
    bool control = false;          // Ctrl held
    KivoHWnd delivered = nullptr;  // the top-level window a desktop gave it to, if any
};

struct TimerEntry {
    KivoHWnd window = nullptr;
    uintptr_t id = 0;
    unsigned elapseMs = 1;
    int32_t dueMs = 0;
};

struct WindowSystem {
    std::unordered_map<uintptr_t, std::unique_ptr<WindowData>> windows;
    uintptr_t nextHandle = 1;
    KivoHWnd desktop = nullptr;
    std::map<std::string, std::unique_ptr<WindowClass>> classes;  // names in lower case

    // Queue.
    std::deque<Message> posted;
    std::deque<InputEvent> input;
    bool quitPosted = false;
    int quitCode = 0;
    std::array<uint8_t, 256> keyState{};  // as the queue saw it: 0x80 down, 0x01 toggled
    std::vector<TimerEntry> timers;
    uintptr_t nextThreadTimer = 0x7F00;

    // Input state.
    KivoHWnd capture = nullptr;
    KivoHWnd focus = nullptr;
    KivoHWnd active = nullptr;
    Point cursorPos;
    int cursorCount = 0;
    Cursor cursor = Cursor::Arrow;
    KivoHWnd lastMouseWindow = nullptr;  // for double clicks
    uint32_t lastClickTime = 0;
    int lastClickButton = 0;
    Point lastClickPos;

    // Device contexts handed out by GetDC and BeginPaint to windows without their own.
    std::vector<std::unique_ptr<DeviceContext>> lentDcs;
};

// The calling thread's window system (made with its desktop window on first use).
WindowSystem& System();
// The window behind a handle, or null for an unknown or destroyed one.
WindowData* FindWindow(KivoHWnd window);
std::string LowerCase(const std::string& text);

// Frame and caption sizes of a style (none for top-level windows where the display does not
// draw frames).
int FrameThickness(uint32_t style, uint32_t exStyle);
int CaptionHeight(uint32_t style);
// The client area in the window's own rectangle co-ordinates.
Rect ClientArea(const WindowData& data);
// Screen position of the window rectangle's and the client area's top-left corner.
Point WindowOrigin(const WindowData& data);
Point ClientOrigin(const WindowData& data);
// Whether the window and all its ancestors are visible (and not minimised).
bool IsShowing(const WindowData& data);
// The screen pixels of the window's client area (or whole window) that are not covered by a
// window above it, nor outside its ancestors.
Region VisibleRegion(const WindowData& data, bool clientOnly);
// Marks whatever shows on `screenArea` for repainting: client areas get update regions, frames
// are drawn again.
void ExposeScreenArea(const Region& screenArea);

// Draws the frame and caption of a window, clipped to `screenClip`.
void DrawNonClient(const WindowData& data, const Region& screenClip);
// What a screen point outside the client area hits: a caption button, the caption or the frame.
int NonClientHitTest(const WindowData& data, Point screen);
// Moves a window with the pointer until the left button is released (a press on its caption).
void RunMoveLoop(KivoHWnd window, Point start);

// Whether a message for `target` passes a queue filter (window and its children, range).
bool PassesFilter(KivoHWnd target, uint32_t message, KivoHWnd window, uint32_t first,
                  uint32_t last);
// The queue's low-priority messages, made when asked: a paint message for the first window
// with something to repaint, and the earliest due timer (rescheduled when `remove`).
bool FindPaintMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last);
bool TakeDueTimer(Message& message, KivoHWnd window, uint32_t first, uint32_t last, bool remove);
// Milliseconds until the next timer is due (0 when one is due), -1 without timers.
int MillisecondsToNextTimer();
// Brings windows' own device contexts in line after windows moved, appeared or vanished.
void RefreshOwnDeviceContexts();

// Drops queue entries and timers that belong to a destroyed window.
void ForgetWindowInQueue(KivoHWnd window);
// The deepest visible window at a screen point inside top-level window `topLevel` (what lies
// above it does not count); the window under the point when `topLevel` is null, hidden or
// elsewhere.
KivoHWnd WindowFromPointIn(KivoHWnd topLevel, Point screenPoint);
// Lets the display feed pending real input into the queue.
void PollDisplayInput();

}  // namespace kivoly::platform
