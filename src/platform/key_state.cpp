#include "platform/key_state.h"

#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

// Virtual-key codes are one byte; anything else is no key and never held.
bool IsKey(int virtualKey) {
    return virtualKey >= 0 && virtualKey < static_cast<int>(Process().keysDown.size());
}

}  // namespace

bool IsKeyDownNow(int virtualKey) {
    return IsKey(virtualKey) && Process().keysDown[virtualKey].load(std::memory_order_relaxed);
}

void SetKeyDownNow(int virtualKey, bool down) {
    if (IsKey(virtualKey)) Process().keysDown[virtualKey].store(down, std::memory_order_relaxed);
}

void ReleaseAllKeys() {
    for (auto& key : Process().keysDown)
        key.store(false, std::memory_order_relaxed);
}

}  // namespace kivoly::platform
