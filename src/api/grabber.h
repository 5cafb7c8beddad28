// The Grabber: the object behind the first argument of the exports. It holds the two records,
// the connection to the device, the capture store, the library's windows and the host's
// callbacks, and it is itself the progress feedback of every long operation it starts.
//
// Its operations are implemented by the files of this folder that own them: grabber.cpp (life,
// records, callbacks), settings_io.cpp (the settings file), status_change.cpp (connection and
// status), capture_driver.cpp (captures), picture_conversion.cpp (pictures to bitmaps) and
// live_preview.cpp (the preview).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/progress_feedback.h"
#include "kivoly/kivoly.h"
#include "platform/window/message.h"

namespace kivoly {

class SettingsFile;
class UserInterface;
class VideoSource;
class YuvImage;

namespace test {
struct GrabberProbe;
}

// True while a device capture runs: the process-wide guard against re-entering one from a
// pumped message.
bool CaptureBusy();

class Grabber : public GrabberFeedback {
  public:
    Grabber();   // KivoAlloc
    ~Grabber();  // KivoFree
    Grabber(const Grabber&) = delete;
    Grabber& operator=(const Grabber&) = delete;

    // The Grabber behind a handle its host holds: null for one the library did not hand out
    // or that the host has freed.
    static Grabber* From(KivoGrabber* handle);
    KivoGrabber* Handle() { return reinterpret_cast<KivoGrabber*>(this); }

    // Held by every export while it works on the Grabber. The work may pump messages and call
    // the host, which may free the Grabber meanwhile; that only marks it, and the last export
    // to return destroys it, so nothing that a running operation uses is freed under it.
    class InUse {
      public:
        explicit InUse(Grabber& grabber) : grabber_(grabber) { ++grabber_.activeCalls_; }
        ~InUse();
        InUse(const InUse&) = delete;
        InUse& operator=(const InUse&) = delete;

      private:
        Grabber& grabber_;
    };
    // KivoFree: destroys the Grabber now, or marks it and ends its preview when an export is
    // still working on it. From then on the exports refuse its handle.
    static void Release(Grabber* grabber);
    bool FreeRequested() const { return freeRequested_; }

    // Records.
    void SetGrabInfo(const KivoGrabInfo& info);
    void SetProcessInfo(const KivoProcessInfo& info);
    void SetShowProgress(bool show);
    // Stores the callback; false (and nothing changed) for a slot outside the table.
    bool SetCallback(int32_t slot, KivoCallback callback);
    // Calls a slot when it is set; returns its result, or 0 when it is empty.
    int32_t Call(int32_t slot);

    // Settings file.
    void LoadSettings();
    void SaveSettings();

    // The one status change; false when the new status could not be reached.
    bool ChangeStatus(int32_t newStatus);

    // The claim of port `number` (1 to 3: LPT1 to LPT3) that keeps other programs off it; any
    // other number claims nothing and succeeds.
    bool OpenPort(int32_t number);
    void ClosePort();

    // Live preview: runs until it is stopped; false when it could not start.
    bool StartPreviewing();
    void StopPreviewing();
    // While a preview runs: asks it to stop, posts the message again so that it is handled
    // afterwards, and answers true; otherwise does nothing and answers false.
    bool StopAndRepost(KivoHWnd window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    // The device's frame callback: `value` is the last row completed, -1 while there is no
    // video; 0 ends the preview.
    int32_t PreviewFrame(int16_t value);

    // Shows string `textId` in a message box with caption string 26 ("Error"), an OK button
    // and the exclamation icon, owned by `owner`.
    void ShowMessage(int textId, KivoHWnd owner);

    // The library's own window (grabber_ui.cpp).
    // Takes the window object made by KivoMakeUI; `window` is its handle.
    void AttachUserInterface(std::unique_ptr<UserInterface> ui, KivoHWnd window);
    // KivoDestroyUI: deletes the window object, which destroys its windows. Called from inside
    // another export (a host's callback), the window is hidden and let go at once but deleted
    // only when the outermost export returns, as its code is still running below.
    void DestroyUserInterface();
    // KivoProcessWindowsMsg: a message of the main window or one of its children is offered to
    // the accelerator table, translated when no accelerator took it, and dispatched; true then.
    // Other messages are left to the host (false).
    bool ProcessWindowsMessage(const platform::Message& message);
    // KivoSetPic: `title` null means no picture is shown.
    void SetPicture(const char* title, const KivoProcessInfo* info, bool enablePanel);

    // Captures and decodes one picture (KivoScanAndMakeYUV); the caller owns the result, null
    // on failure (the user has been told why).
    YuvImage* Capture();
    // Destroys a picture of its own making, forgetting it when it is the current one.
    void FreeYuv(YuvImage* image);

    // Records and options.
    const KivoGrabInfo& GrabInfo() const { return grabInfo_; }
    const KivoProcessInfo& ProcessInfo() const { return processInfo_; }
    // The ProcessInfo the settings file keeps; a capture returns to it.
    const KivoProcessInfo& CommittedProcessInfo() const { return committedProcessInfo_; }
    void CommitProcessInfo(const KivoProcessInfo& info) { committedProcessInfo_ = info; }
    int32_t ShowProgress() const { return showProgress_; }
    int32_t WindowOption() const { return windowOption_; }
    void SetWindowOption(int32_t option) { windowOption_ = option; }
    // The host is the stand-alone program rather than a data source.
    int32_t IsExe() const { return kivolyIsExe_; }
    void SetIsExe(int32_t isExe) { kivolyIsExe_ = isExe; }
    bool HasCallback(int32_t slot) const {
        return slot >= 0 && slot < KivoCallbackSlots && callbacks_[slot] != nullptr;
    }

    // What the Grabber holds.
    int32_t Status() const { return status_; }
    VideoSource* Source() const { return videoSource_.get(); }  // from status 1 on
    YuvImage* CaptureStore() const { return captureStore_.get(); }
    SettingsFile* Settings() const { return settingsFile_.get(); }
    // The picture the host last handed over (the host owns it and frees it with KivoFreeYUV).
    YuvImage* CurrentPicture() const { return currentPicture_; }
    void SetCurrentPicture(YuvImage* picture) { currentPicture_ = picture; }
    // The text of the last message shown.
    const char* Message() const { return messageBuffer_; }

    // The library's window.
    KivoHWnd MainWindow() const { return mainWindow_; }
    UserInterface* Interface() const { return userInterface_.get(); }
    // The main window was closed for good: its handle is forgotten.
    void ForgetMainWindow() { mainWindow_ = nullptr; }
    bool PictureShown() const { return pictureShown_; }

    // The live preview: 0 not previewing, 1 previewing, 2 asked to stop.
    int32_t PreviewState() const { return previewState_; }
    void ResetPreviewState() { previewState_ = 0; }
    // The 8-bit preview bitmap, made on first use and kept locked while it exists; false when
    // there is no memory for it.
    bool EnsurePreviewBitmap();
    KivoHGlobal PreviewBitmap() const { return previewBitmap_; }
    // Whether the device preview rounds the picture's corners.
    void SetPreviewMode(int32_t mode) { previewMode_ = mode; }

  private:
    friend struct test::GrabberProbe;  // puts a device, a store or a port claim in place

    // Deletes the windows retired by DestroyUserInterface (no call runs their code any more).
    void DeleteRetiredInterfaces();

    int32_t activeCalls_ = 0;
    bool freeRequested_ = false;
    // Windows destroyed from inside their own callbacks: deleted once the calls that run their
    // code have returned.
    std::vector<std::unique_ptr<UserInterface>> retiredInterfaces_;

    // The steps of the status change.
    void Disconnect();
    bool Connect();
    bool Arm();

    KivoGrabInfo grabInfo_ = {};
    KivoProcessInfo processInfo_ = {};
    KivoProcessInfo committedProcessInfo_ = {};
    std::unique_ptr<YuvImage> captureStore_;
    YuvImage* currentPicture_ = nullptr;  // not owned
    std::unique_ptr<SettingsFile> settingsFile_;
    KivoHWnd mainWindow_ = nullptr;
    std::unique_ptr<UserInterface> userInterface_;  // the object behind mainWindow_
    int32_t status_ = -1;
    bool pictureShown_ = false;
    int32_t previewState_ = 0;
    KivoHGlobal previewBitmap_ = nullptr;  // owned
    int32_t previewMode_ = 0;
    int32_t showProgress_ = 1;
    int32_t windowOption_ = 0;
    int32_t kivolyIsExe_ = 0;
    KivoCallback callbacks_[KivoCallbackSlots] = {};
    std::unique_ptr<VideoSource> videoSource_;
    char messageBuffer_[120] = {};
    bool portClaimed_ = false;
    intptr_t portHandle_ = -1;
};

}  // namespace kivoly
