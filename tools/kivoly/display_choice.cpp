#include "display_choice.h"

#include "kivoly/host.h"
#include "platform/window/host_display.h"

namespace kivoly::cli {

bool UseDisplay(const std::string& name, std::string& error) {
    if (name == "headless") {
        CloseDisplay();
        return KivolyHostUseHeadlessDisplay(0, 0) != 0;
    }
    if (name == "desktop") {
        std::string reason;
        if (platform::OpenDesktopDisplay("Kivoly", &reason)) return true;
        error = "no desktop display can be opened (" + reason + ")";
        return false;
    }
    error = "unknown display '" + name + "' (headless or desktop)";
    return false;
}

void CloseDisplay() {
    platform::CloseDesktopDisplay();
}

}  // namespace kivoly::cli
