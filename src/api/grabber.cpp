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
    settingsFile_.reset(new (std::nothrow) SettingsFile(kSettingsFileName));
    LoadSettings();
    committedProcessInfo_ = processInfo_;
    status_ = -1;
    ChangeStatus(KivoStatusIdle);
}

Grabber::~Grabber() {
    ChangeStatus(KivoStatusIdle);
    if (previewBitmap_) {
        platform::GlobalUnlock(previewBitmap_);
        platform::GlobalFree(previewBitmap_);
        previewBitmap_ = nullptr;
    }
    // Still here when the change to idle was refused (a preview or a capture was running);
    // the port is given back too, or it would stay claimed for the life of the process.
    if (videoSource_) {
        videoSource_->Power(false);
        videoSource_.reset();
    }
    captureStore_.reset();
    ClosePort();
    DestroyUserInterface();
    DeleteRetiredInterfaces();
    settingsFile_.reset();
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
    const bool portChanged = info.ParallelPort != grabInfo_.ParallelPort && status_ != 0;
    const bool terminationChanged = info.TerminateVideo != grabInfo_.TerminateVideo;
    grabInfo_ = info;
    if (portChanged) ChangeStatus(KivoStatusIdle);
    // The device and the capture store follow the new settings.
    if (status_ >= KivoStatusConnected && ChangeStatus(KivoStatusConnected)) {
        ChangeStatus(KivoStatusArmed);
    }
    if (terminationChanged && videoSource_) videoSource_->SetTermination(grabInfo_.TerminateVideo);
}

void Grabber::SetProcessInfo(const KivoProcessInfo& info) {
    const bool widthChanged = info.Width != processInfo_.Width;
    processInfo_ = info;
    // The capture store is sized for the width.
    if (widthChanged && status_ == KivoStatusArmed && ChangeStatus(KivoStatusConnected)) {
        ChangeStatus(KivoStatusArmed);
    }
    // The adjustment controls follow the record.
    if (userInterface_) userInterface_->ApplySettings(processInfo_);
    committedProcessInfo_ = processInfo_;
}

void Grabber::SetShowProgress(bool show) {
    showProgress_ = show ? 1 : 0;
    SetShowsWindow(showProgress_ != 0);
}

bool Grabber::SetCallback(int32_t slot, KivoCallback callback) {
    if (slot < 0 || slot >= KivoCallbackSlots) return false;
    callbacks_[slot] = callback;
    return true;
}

int32_t Grabber::Call(int32_t slot) {
    if (slot < 0 || slot >= KivoCallbackSlots || !callbacks_[slot]) return 0;
    return callbacks_[slot]();
}

void Grabber::ShowMessage(int textId, KivoHWnd owner) {
    char caption[32];
    LoadResourceString(26, caption, sizeof caption);
    LoadResourceString(textId, messageBuffer_, sizeof messageBuffer_);
    platform::MessageBox(owner, messageBuffer_, caption,
                         platform::MbOk | platform::MbIconExclamation);
}

}  // namespace kivoly
