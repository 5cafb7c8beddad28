#include "display_choice.h"

#include "kivoly/host.h"
#include "kivoly/tools.h"

namespace kivoly::cli {

bool UseDisplay(const std::string& name, std::string& error) {
    if (name == "headless") {
        CloseDisplay();
        return KivolyHostUseHeadlessDisplay(0, 0) != 0;
    }
    if (name == "desktop") {
        std::string reason;
        if (tools::OpenDesktopDisplay(reason)) return true;
        error = "no desktop display can be opened (" + reason + ")";
        return false;
    }
    error = "unknown display '" + name + "' (headless or desktop)";
    return false;
}

void CloseDisplay() {
    KivolyHostCloseDesktopDisplay();
}

}  // namespace kivoly::cli
