// Input given as a user gives it: pointer moves, button presses and releases at screen
// positions, key presses. The events wait in the queue of the calling thread until the
// message loop takes them out; the asynchronous key state (key_state.h) changes at once.
#pragma once

#include "platform/gdi/geometry.h"
#include "platform/handles.h"

namespace kivoly::platform {

// `delivered`: the top-level window a desktop delivered the input to, which takes it whatever
// lies above it in the window system's z-order (null: the window under the pointer).
void InjectMouseMove(Point screen, KivoHWnd delivered = nullptr);
// `button` is VkLButton or VkRButton; the pointer moves to `screen` first when it is elsewhere.
void InjectMouseButton(int button, bool down, Point screen, KivoHWnd delivered = nullptr);
void InjectKey(int virtualKey, bool down);

// A press and release of the left button at `screen`.
void InjectClick(Point screen);
// Presses the modifiers (VkShift, VkControl, VkMenu bits of `modifiers`), presses and
// releases `virtualKey`, then releases the modifiers.
enum KeyModifier : unsigned { ModShift = 1, ModControl = 2, ModAlt = 4 };
void InjectKeyPress(int virtualKey, unsigned modifiers = 0);

}  // namespace kivoly::platform
