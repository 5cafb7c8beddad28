// The Grabber's side of the library's own window: ownership of the window object, the routing
// of a host's messages through the main window's accelerators, and the picture-shown state.
#include <cstdio>
#include <utility>

#include "api/grabber.h"
#include "api/user_interface.h"
#include "platform/window/accelerators.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly {

void Grabber::AttachUserInterface(std::unique_ptr<UserInterface> ui, KivoHWnd window) {
    userInterface_ = std::move(ui);
    mainWindow_ = window;
}

void Grabber::DestroyUserInterface() {
    // The object is reached through the Grabber rather than the window's property, so that a
    // window already destroyed by a close does not leave its object behind.
    std::unique_ptr<UserInterface> ui = std::move(userInterface_);
    mainWindow_ = nullptr;
    if (ui && activeCalls_ > 1) {
        if (ui->Window()) platform::ShowWindow(ui->Window(), platform::SwHide);
        retiredInterfaces_.push_back(std::move(ui));
    }
}

void Grabber::DeleteRetiredInterfaces() {
    // Deleting a window may retire another: the list is taken over first.
    std::vector<std::unique_ptr<UserInterface>> retired;
    retired.swap(retiredInterfaces_);
    for (std::unique_ptr<UserInterface>& ui : retired)
        ui.reset();
}

bool Grabber::ProcessWindowsMessage(const platform::Message& message) {
    if (!mainWindow_ || !message.hwnd) return false;
    if (message.hwnd != mainWindow_ && !platform::IsChild(mainWindow_, message.hwnd)) return false;
    const platform::AcceleratorTable* table = platform::LoadAccelerators(kMainAccelerators);
    if (!platform::TranslateAccelerator(mainWindow_, table, message)) {
        platform::TranslateMessage(message);
    }
    platform::DispatchMessage(message);
    return true;
}

void Grabber::SetPicture(const char* title, const KivoProcessInfo* info, bool enablePanel) {
    if (!userInterface_ || !mainWindow_) return;
    pictureShown_ = title != nullptr;
    if (title) {
        char caption[160];
        std::snprintf(caption, sizeof caption, "Kivoly - %s", title);
        platform::SetWindowText(mainWindow_, caption);
    } else {
        platform::SetWindowText(mainWindow_, "Kivoly");
    }
    userInterface_->PictureShown(title != nullptr, enablePanel);
    if (info) SetProcessInfo(*info);
}

}  // namespace kivoly
