#include "display_choice.h"

#include "kivoly/host.h"

namespace kivoly::cli {

bool UseDisplay(const std::string& name, std::string& error) {
    if (name == "headless") {
        CloseDisplay();
        return KivolyHostUseHeadlessDisplay(0, 0) != 0;
    }
    if (name == "desktop") {
#if defined(KIVOLY_HAVE_DESKTOP)
        if (KivolyHostUseDesktopDisplay("Kivoly")) return true;
        error = "no desktop display can be opened (is DISPLAY set?)";
#else
        error = "this kivoly was built without the desktop display";
#endif
        return false;
    }
    error = "unknown display '" + name + "' (headless or desktop)";
    return false;
}

void CloseDisplay() {
#if defined(KIVOLY_HAVE_DESKTOP)
    KivolyHostCloseDesktopDisplay();
#endif
}

}  // namespace kivoly::cli
