// Timers: WmTimer messages made by the queue when a timer is due and nothing else is waiting.
// A timer fires at most once per queue pass; its next due time counts from the moment its
// message was taken out, so a slow handler delays it instead of piling messages up.
#pragma once

#include "platform/window/message.h"

namespace kivoly::platform {

// Starts or restarts timer `id` of `window` with a period of `elapseMs` (at least 10). For a
// null window a new thread timer id is returned. Returns 0 on failure.
uintptr_t SetTimer(KivoHWnd window, uintptr_t id, unsigned elapseMs);
bool KillTimer(KivoHWnd window, uintptr_t id);

}  // namespace kivoly::platform
