#include "platform/window/host_display.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "kivoly/host.h"
#include "platform/internal/window/desktop_display.h"
#include "platform/internal/window/message_box_window.h"
#include "platform/internal/window/save_file_window.h"
#include "platform/message_box.h"
#include "platform/save_file_dialog.h"
#include "platform/window/display.h"

namespace kivoly::platform {

namespace {

struct HostDisplayState {
    NativeWindowsOpener linked = nullptr;
    std::unique_ptr<DesktopDisplay> desktop;
    Size headlessSize;  // the screen before the desktop took it over
    bool headlessChosen = false;
};

HostDisplayState& State() {
    static HostDisplayState state;
    return state;
}

// On the desktop a person answers message boxes, in a box on the window system.
int AskOnDesktop(const MessageBoxRecord& box, void*) {
    return RunMessageBoxWindow(box.owner, box.text.c_str(), box.caption.c_str(), box.style);
}

bool AskForFileOnDesktop(const SaveFileRequest& request, std::string& name, void*) {
    return RunSaveFileWindow(request, name);
}

// The plugin's opener; null with the reason when there is none. The plugin stays loaded: the
// windowing libraries it brings do not take well to being unloaded.
NativeWindowsOpener LoadPlugin(std::string& reason) {
    static void* plugin = nullptr;
    if (!plugin) {
        Dl_info self{};
        std::string besideUs;
        if (dladdr(reinterpret_cast<void*>(&LoadPlugin), &self) && self.dli_fname) {
            besideUs =
                (std::filesystem::path(self.dli_fname).parent_path() / kDesktopPlugin).string();
        }
        if (!besideUs.empty()) plugin = dlopen(besideUs.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!plugin) plugin = dlopen(kDesktopPlugin, RTLD_NOW | RTLD_LOCAL);
        if (!plugin) {
            const char* error = dlerror();
            reason = std::string("the desktop display cannot be loaded: ") +
                     (error ? error : kDesktopPlugin);
            return nullptr;
        }
    }
    void* entry = dlsym(plugin, kNativeWindowsEntry);
    if (!entry) reason = std::string(kDesktopPlugin) + " has no entry point";
    return reinterpret_cast<NativeWindowsOpener>(entry);
}

bool ServerNamed() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

}  // namespace

void LinkNativeWindows(NativeWindowsOpener opener) {
    State().linked = opener;
}

bool OpenDesktopDisplay(const char* title, std::string* reason) {
    HostDisplayState& state = State();
    if (state.desktop) return true;
    std::string why;
    NativeWindowsOpener opener = state.linked ? state.linked : LoadPlugin(why);
    NativeWindows* natives = nullptr;
    if (opener) {
        char buffer[256] = "";
        natives = opener(kNativeWindowsVersion, buffer, sizeof buffer);
        if (!natives) why = buffer[0] ? buffer : "no desktop can be reached";
    }
    if (!natives) {
        if (reason) *reason = why;
        return false;
    }
    state.desktop = std::make_unique<DesktopDisplay>(std::unique_ptr<NativeWindows>(natives),
                                                     title && *title ? title : "Kivoly");
    state.headlessSize = {Screen().Width(), Screen().Height()};
    state.headlessChosen = false;
    InstallDisplay(state.desktop.get());
    Rect area = state.desktop->DesktopArea();
    SetScreenSize(area.Width(), area.Height());
    InstallMessageBoxResponder(AskOnDesktop, nullptr);
    InstallSaveFileResponder(AskForFileOnDesktop, nullptr);
    return true;
}

void CloseDesktopDisplay() {
    HostDisplayState& state = State();
    if (!state.desktop) return;
    InstallMessageBoxResponder(nullptr, nullptr);
    InstallSaveFileResponder(nullptr, nullptr);
    InstallDisplay(nullptr);
    state.desktop.reset();
    SetScreenSize(state.headlessSize.cx, state.headlessSize.cy);
}

void NoteHeadlessDisplayChosen() {
    State().headlessChosen = true;
}

DisplayKind EnsureHostDisplay() {
    HostDisplayState& state = State();
    if (state.desktop) return DisplayKind::Desktop;
    if (state.headlessChosen) return DisplayKind::Headless;
    const char* setting = std::getenv("KIVOLY_DISPLAY");
    bool wanted = setting && *setting ? std::strcmp(setting, "desktop") == 0 : ServerNamed();
    if (wanted && OpenDesktopDisplay(nullptr)) return DisplayKind::Desktop;
    return DisplayKind::Headless;
}

}  // namespace kivoly::platform

extern "C" int32_t KivolyHostUseDesktopDisplay(const char* title) {
    return kivoly::platform::OpenDesktopDisplay(title) ? 1 : 0;
}

extern "C" void KivolyHostCloseDesktopDisplay() {
    kivoly::platform::CloseDesktopDisplay();
}
