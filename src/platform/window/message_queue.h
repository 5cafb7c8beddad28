// The thread's message queue. Messages come out in this order: posted messages (and the quit
// message once no posted message is left), then user input (routed when it is taken: to the
// window holding the mouse capture, else the window under the pointer; keys to the focus),
// then a paint message for a window with something to repaint, then due timers. A paint or
// timer message is made when it is asked for, so there is at most one pending per window or
// timer. Sending calls the window procedure at once.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/window/message.h"

namespace kivoly::platform {

enum PeekFlags : unsigned { PmNoRemove = 0x0000, PmRemove = 0x0001 };

// Calls the window's procedure now; 0 for an unknown window.
LResult SendMessage(KivoHWnd window, uint32_t message, WParam first, LParam second);
// Queues a message for the window (null: a thread message); false for an unknown window.
bool PostMessage(KivoHWnd window, uint32_t message, WParam first, LParam second);
// Makes the queue return WmQuit with `exitCode` once no posted message is left.
void PostQuitMessage(int exitCode);

// The first message for `window` (null: any window of the thread and thread messages) whose
// identifier lies in [first, last] (both 0: any), removed when `flags` has PmRemove. Paint
// messages stay until the window is validated (painting or dispatching validates it). False
// when there is none.
bool PeekMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last, unsigned flags);
// Waits for a message and removes it: 1 for a message, 0 for WmQuit, -1 when no message can
// ever arrive (a headless display with nothing queued, no timer and no idle handler).
int GetMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last);
// Posts the character message of a key press (WmChar / WmSysChar); true when it posted one.
bool TranslateMessage(const Message& message);
// Hands the message to its window's procedure and returns the answer (0 without a window). A
// paint message leaves its window validated, whether or not the procedure painted.
LResult DispatchMessage(const Message& message);

// The default answers of the window system to every message a procedure does not handle.
LResult DefWindowProc(KivoHWnd window, uint32_t message, WParam first, LParam second);

// The state of a key as the queue saw it when the last input message was taken out: negative
// when down, bit 0 set when toggled.
int16_t GetKeyState(int virtualKey);

}  // namespace kivoly::platform
