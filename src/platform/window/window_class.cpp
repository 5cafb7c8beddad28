#include "platform/window/window_class.h"

#include "platform/internal/window/window_system.h"

namespace kivoly::platform {

bool RegisterClass(const WindowClass& windowClass) {
    if (windowClass.name.empty() || !windowClass.procedure || windowClass.windowExtraBytes < 0) {
        return false;
    }
    WindowSystem& system = System();
    std::string key = LowerCase(windowClass.name);
    if (system.classes.count(key)) return false;
    system.classes[key] = std::make_unique<WindowClass>(windowClass);
    return true;
}

const WindowClass* FindClass(const char* name) {
    if (!name) return nullptr;
    WindowSystem& system = System();
    auto found = system.classes.find(LowerCase(name));
    return found == system.classes.end() ? nullptr : found->second.get();
}

}  // namespace kivoly::platform
