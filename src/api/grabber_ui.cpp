// The Grabber's side of the library's own window: ownership of the window object, the routing
// of a host's messages through the main window's accelerators, and the picture-shown state.
#include <cstdio>

#include "api/grabber.h"
#include "api/user_interface.h"
#include "platform/window/accelerators.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly {

void Grabber::AttachUserInterface(UserInterface* ui, KivoHWnd window, KivoHWnd parent) {
    userInterface = ui;
    mainWindow = window;
    parentWindow = parent;
}

void Grabber::DestroyUserInterface() {
    // The object is reached through the Grabber rather than the window's property, so that a
    // window already destroyed by a close does not leave its object behind.
    UserInterface* ui = userInterface;
    userInterface = nullptr;
    mainWindow = nullptr;
    if (ui && activeCalls_ > 1) {
        if (ui->Window()) platform::ShowWindow(ui->Window(), platform::SwHide);
        retiredInterfaces_.push_back(ui);
        return;
    }
    delete ui;
}

void Grabber::DeleteRetiredInterfaces() {
    std::vector<UserInterface*> retired;
    retired.swap(retiredInterfaces_);
    for (UserInterface* ui : retired)
        delete ui;
}

bool Grabber::ProcessWindowsMessage(const platform::Message& message) {
    if (!mainWindow || !message.hwnd) return false;
    if (message.hwnd != mainWindow && !platform::IsChild(mainWindow, message.hwnd)) return false;
    const platform::AcceleratorTable* table = platform::LoadAccelerators(kMainAccelerators);
    if (!platform::TranslateAccelerator(mainWindow, table, message)) {
        platform::TranslateMessage(message);
    }
    platform::DispatchMessage(message);
    return true;
}

void Grabber::SetPicture(const char* title, const KivoProcessInfo* info, bool enablePanel) {
    if (!userInterface || !mainWindow) return;
    pictureShown = title ? 1 : 0;
    if (title) {
        char caption[160];
        std::snprintf(caption, sizeof caption, "Kivoly - %s", title);
        platform::SetWindowText(mainWindow, caption);
    } else {
        platform::SetWindowText(mainWindow, "Kivoly");
    }
    userInterface->PictureShown(title != nullptr, enablePanel);
    if (info) SetProcessInfo(*info);
}

}  // namespace kivoly
