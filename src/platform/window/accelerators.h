// Accelerator tables: key presses that a message loop turns into commands before translating
// them into characters. A virtual-key entry matches a key-down message of its key when Shift,
// Ctrl and Alt are held exactly as the entry says (as the queue saw them); a character entry
// matches the character message.
#pragma once

#include <vector>

#include "platform/window/message.h"
#include "resources/accelerator_table.h"

namespace kivoly::platform {

struct AcceleratorTable {
    std::vector<AcceleratorEntry> entries;
};

// The library's table `id` (loaded once and kept), or null when there is none.
const AcceleratorTable* LoadAccelerators(int id);

// When `message` matches an entry, sends `window` a command message with the entry's command
// (high word 1: from an accelerator) and returns true. The message itself is left to the
// caller, who dispatches it anyway but does not translate it.
bool TranslateAccelerator(KivoHWnd window, const AcceleratorTable* table, const Message& message);

}  // namespace kivoly::platform
