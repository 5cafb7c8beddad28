#include "platform/key_state.h"

#include <array>
#include <atomic>

namespace kivoly::platform {
namespace {

// Virtual-key codes are one byte; anything else is no key and never held.
std::array<std::atomic<bool>, 256> gDown{};

bool IsKey(int virtualKey) {
    return virtualKey >= 0 && virtualKey < static_cast<int>(gDown.size());
}

}  // namespace

bool IsKeyDownNow(int virtualKey) {
    return IsKey(virtualKey) && gDown[virtualKey].load(std::memory_order_relaxed);
}

void SetKeyDownNow(int virtualKey, bool down) {
    if (IsKey(virtualKey)) gDown[virtualKey].store(down, std::memory_order_relaxed);
}

void ReleaseAllKeys() {
    for (auto& key : gDown)
        key.store(false, std::memory_order_relaxed);
}

}  // namespace kivoly::platform
