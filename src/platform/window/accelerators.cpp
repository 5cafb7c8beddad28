#include "platform/window/accelerators.h"

#include <map>
#include <memory>

#include "platform/key_state.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly::platform {

const AcceleratorTable* LoadAccelerators(int id) {
    static std::map<int, std::unique_ptr<AcceleratorTable>> loaded;
    auto found = loaded.find(id);
    if (found != loaded.end()) return found->second.get();
    auto entries = AcceleratorTableEntries(id);
    if (entries.empty()) return nullptr;
    auto table = std::make_unique<AcceleratorTable>();
    table->entries.assign(entries.begin(), entries.end());
    return (loaded[id] = std::move(table)).get();
}

bool TranslateAccelerator(KivoHWnd window, const AcceleratorTable* table, const Message& message) {
    if (!table || !IsWindow(window)) return false;
    bool keyDown = message.message == WmKeyDown || message.message == WmSysKeyDown;
    bool character = message.message == WmChar || message.message == WmSysChar;
    if (!keyDown && !character) return false;
    uint8_t held = 0;
    if (GetKeyState(VkShift) < 0) held |= AccelShift;
    if (GetKeyState(VkControl) < 0) held |= AccelControl;
    if (GetKeyState(VkMenu) < 0) held |= AccelAlt;
    for (const AcceleratorEntry& entry : table->entries) {
        bool matches;
        if (entry.flags & AccelVirtualKey) {
            constexpr uint8_t kModifiers = AccelShift | AccelControl | AccelAlt;
            matches = keyDown && message.wParam == entry.key && (entry.flags & kModifiers) == held;
        } else {
            bool altWanted = (entry.flags & AccelAlt) != 0;
            matches =
                character && message.wParam == entry.key && altWanted == ((held & AccelAlt) != 0);
        }
        if (matches) {
            SendMessage(window, WmCommand, MakeWParam(entry.command, 1), 0);
            return true;
        }
    }
    return false;
}

}  // namespace kivoly::platform
