#include "platform/settings_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace kivoly::platform {
namespace {

std::mutex gMutex;
std::string gOverride;

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (!home.empty()) return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) return entry->pw_dir;
    return ".";
}

}  // namespace

std::string SettingsFolder() {
    {
        std::lock_guard lock(gMutex);
        if (!gOverride.empty()) return gOverride;
    }
    if (std::string home = Environment("KIVOLY_HOME"); !home.empty()) return home;
    if (std::string config = Environment("XDG_CONFIG_HOME"); !config.empty()) {
        return config + "/kivoly";
    }
    return HomeFolder() + "/.config/kivoly";
}

void SetSettingsFolderOverride(const char* folder) {
    std::lock_guard lock(gMutex);
    gOverride = folder ? folder : "";
}

}  // namespace kivoly::platform
