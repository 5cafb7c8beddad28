#include "api/grabber.h"

#include <new>

#include "api/handed_out.h"
#include "api/settings_io.h"
#include "api/user_interface.h"
#include "capture/video_source.h"
#include "decode/yuv_image.h"
#include "framework/settings_file.h"
#include "platform/global_memory.h"
#include "platform/message_box.h"
#include "platform/process_state.h"
#include "resources/string_table.h"

namespace kivoly {

bool CaptureBusy() {
    return Process().captureBusy;
}

Grabber::Grabber() {
    RememberGrabber(this);
    // The progress feedback has read its own settings; every other field starts cleared.
    settingsFile = new (std::nothrow) SettingsFile(kSettingsFileName);
    LoadSettings();
    committedProcessInfo = processInfo;
    status = -1;
    ChangeStatus(KivoStatusIdle);
}

Grabber::~Grabber() {
    ChangeStatus(KivoStatusIdle);
    if (previewBitmap) {
        platform::GlobalUnlock(previewBitmap);
        platform::GlobalFree(previewBitmap);
        previewBitmap = nullptr;
    }
    // Still here when the change to idle was refused (a preview or a capture was running);
    // the port is given back too, or it would stay claimed for the life of the process.
    if (videoSource) {
        videoSource->Power(false);
        delete videoSource;
        videoSource = nullptr;
    }
    delete captureStore;
    captureStore = nullptr;
    ClosePort();
    DestroyUserInterface();
    DeleteRetiredInterfaces();
    delete settingsFile;
    settingsFile = nullptr;
    ForgetGrabber(this);
}

Grabber* Grabber::From(KivoGrabber* handle) {
    return FindGrabber(handle);
}

Grabber::InUse::~InUse() {
    if (--grabber_.activeCalls_ > 0) return;
    grabber_.DeleteRetiredInterfaces();
    if (grabber_.freeRequested_) delete &grabber_;
}

void Grabber::Release(Grabber* grabber) {
    if (grabber == nullptr) return;
    if (grabber->activeCalls_ == 0) {
        delete grabber;
        return;
    }
    grabber->freeRequested_ = true;
    grabber->StopPreviewing();
}

void Grabber::SetGrabInfo(const KivoGrabInfo& info) {
    const bool portChanged = info.ParallelPort != grabInfo.ParallelPort && status != 0;
    const bool terminationChanged = info.TerminateVideo != grabInfo.TerminateVideo;
    grabInfo = info;
    if (portChanged) ChangeStatus(KivoStatusIdle);
    // The device and the capture store follow the new settings.
    if (status >= KivoStatusConnected && ChangeStatus(KivoStatusConnected)) {
        ChangeStatus(KivoStatusArmed);
    }
    if (terminationChanged && videoSource) videoSource->SetTermination(grabInfo.TerminateVideo);
}

void Grabber::SetProcessInfo(const KivoProcessInfo& info) {
    const bool widthChanged = info.Width != processInfo.Width;
    processInfo = info;
    // The capture store is sized for the width.
    if (widthChanged && status == KivoStatusArmed && ChangeStatus(KivoStatusConnected)) {
        ChangeStatus(KivoStatusArmed);
    }
    // The adjustment controls follow the record.
    if (userInterface) userInterface->ApplySettings(processInfo);
    committedProcessInfo = processInfo;
}

void Grabber::SetShowProgress(bool show) {
    showProgress = show ? 1 : 0;
    SetShowsWindow(showProgress != 0);
}

bool Grabber::SetCallback(int32_t slot, KivoCallback callback) {
    if (slot < 0 || slot >= KivoCallbackSlots) return false;
    callbacks[slot] = callback;
    return true;
}

int32_t Grabber::Call(int32_t slot) {
    if (slot < 0 || slot >= KivoCallbackSlots || !callbacks[slot]) return 0;
    return callbacks[slot]();
}

void Grabber::ShowMessage(int textId, KivoHWnd owner) {
    char caption[32];
    LoadResourceString(26, caption, sizeof caption);
    LoadResourceString(textId, messageBuffer, sizeof messageBuffer);
    platform::MessageBox(owner, messageBuffer, caption,
                         platform::MbOk | platform::MbIconExclamation);
}

}  // namespace kivoly
