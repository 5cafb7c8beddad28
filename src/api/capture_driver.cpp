// The capture driver: brings the device up, has one picture captured and decoded into the
// capture store, hands the store to the caller, always brings the status back to idle and tells
// the user what went wrong.
//
// Two hidden variants are chosen by the keys held when the capture starts: Ctrl and Alt decode
// "bars.nsr" from the current folder instead of the device; Ctrl and Shift ask for a file into
// which the raw samples of the capture are saved. Neither changes the status before the end.
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "api/decode_feedback.h"
#include "api/grabber.h"
#include "capture/raw_file_source.h"
#include "decode/yuv_image.h"
#include "platform/key_state.h"
#include "platform/process_state.h"
#include "platform/save_file_dialog.h"

namespace kivoly {

namespace {

constexpr int kRawNameChars = 80;
constexpr char kLoadFileName[] = "bars.nsr";
constexpr int kStringNoVideo = 59;
constexpr int kStringNoMemory = 30;
constexpr int kStringBadSignal = 61;

// The raw-file name chosen in the save dialog, or an empty string when cancelled.
std::string AskForDumpFile() {
    platform::SaveFileRequest request;
    request.filterName = "NTSC Kivoly Raw Data (*.nsr)";
    request.filterPattern = "*.nsr";
    request.maxLength = kRawNameChars;
    request.defaultExtension = "nsr";
    request.flags =
        platform::OfnOverwritePrompt | platform::OfnHideReadOnly | platform::OfnPathMustExist;
    std::string name;
    if (!platform::GetSaveFileName(request, name)) name.clear();
    return name;
}

int MessageFor(int32_t result) {
    switch (result) {
        case DecodeOk:
        case DecodeAborted:
            return 0;  // nothing to say: the user asked to stop, or was already told
        case DecodeNoVideo:
            return kStringNoVideo;
        case DecodeOutOfMemory:
            return kStringNoMemory;
        default:
            return kStringBadSignal;
    }
}

}  // namespace

YuvImage* Grabber::Capture() {
    if (CaptureBusy()) return nullptr;
    // The preview holds the device in its own mode; a capture asked for inside it (from the
    // host's frame callback) ends the preview instead, as a status change does.
    if (previewState_ != 0) {
        StopPreviewing();
        return nullptr;
    }
    BeginBusy();
    const bool control = platform::IsKeyDownNow(platform::VkControl);
    const bool loadMode = control && platform::IsKeyDownNow(platform::VkMenu);
    const bool saveMode = control && platform::IsKeyDownNow(platform::VkShift);
    int32_t result = DecodeOutOfMemory;

    if (!loadMode && !saveMode) {
        if (!ChangeStatus(KivoStatusVideoOn)) {
            result = DecodeAborted;
        } else {
            Process().captureBusy = true;
            DecodeFeedback progress(*this);
            result = captureStore_ != nullptr && videoSource_ != nullptr
                         ? captureStore_->Decode(grabInfo_, &progress, nullptr, videoSource_.get())
                         : DecodeOutOfMemory;
            Process().captureBusy = false;
        }
    } else {
        std::unique_ptr<RawFileSource> rawSource;
        if (loadMode) rawSource.reset(new (std::nothrow) RawFileSource(kLoadFileName));
        std::string dumpName;
        if (saveMode) dumpName = AskForDumpFile();
        if (captureStore_ == nullptr) {
            captureStore_.reset(new (std::nothrow) YuvImage(grabInfo_, nullptr));
            if (captureStore_ != nullptr && !captureStore_->HasLines()) captureStore_.reset();
        }
        // Saving needs the device: connect it when the capture starts without it.
        VideoSource* source = rawSource != nullptr ? rawSource.get() : videoSource_.get();
        if (captureStore_ != nullptr && source == nullptr) {
            result = DecodeAborted;
            if (ChangeStatus(KivoStatusVideoOn)) source = videoSource_.get();
        }
        if (captureStore_ != nullptr && source != nullptr) {
            DecodeFeedback progress(*this);
            result = captureStore_->Decode(grabInfo_, &progress,
                                           dumpName.empty() ? nullptr : dumpName.c_str(), source);
        }
        if (rawSource != nullptr) rawSource->Power(false);
    }
    EndBusy();

    YuvImage* picture = nullptr;
    if (result == DecodeOk) {
        picture = captureStore_.release();
    }
    ChangeStatus(KivoStatusIdle);
    // Already idle, the change does nothing; a store made for the raw-file modes must not stay
    // behind, since an idle Grabber holds none.
    if (status_ == KivoStatusIdle) captureStore_.reset();
    if (const int message = MessageFor(result); message != 0) ShowMessage(message, mainWindow_);
    processInfo_ = committedProcessInfo_;
    return picture;
}

void Grabber::FreeYuv(YuvImage* image) {
    if (image == nullptr) return;
    if (image == currentPicture_) currentPicture_ = nullptr;
    delete image;
}

}  // namespace kivoly
