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
#include <vector>

#include "framework/progress_feedback.h"
#include "kivoly/kivoly.h"

namespace kivoly {

class SettingsFile;
class UserInterface;
class VideoSource;
class YuvImage;

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
    // Takes ownership of the window made by KivoMakeUI; `window` is its handle.
    void AttachUserInterface(UserInterface* ui, KivoHWnd window, KivoHWnd parent);
    // KivoDestroyUI: deletes the window object, which destroys its windows. Called from inside
    // another export (a host's callback), the window is hidden and let go at once but deleted
    // only when the outermost export returns, as its code is still running below.
    void DestroyUserInterface();
    // KivoProcessWindowsMsg: a message of the main window or one of its children is offered to
    // the accelerator table, translated when no accelerator took it, and dispatched; true then.
    // Other messages are left to the host (false).
    bool ProcessWindowsMessage(const KivoMessage& message);
    // KivoSetPic: `title` null means no picture is shown.
    void SetPicture(const char* title, const KivoProcessInfo* info, bool enablePanel);

    // Captures and decodes one picture (KivoScanAndMakeYUV); the caller owns the result, null
    // on failure (the user has been told why).
    YuvImage* Capture();
    // Destroys a picture of its own making, forgetting it when it is the current one.
    void FreeYuv(YuvImage* image);

  private:
    // Deletes the windows retired by DestroyUserInterface (no call runs their code any more).
    void DeleteRetiredInterfaces();

    int32_t activeCalls_ = 0;
    bool freeRequested_ = false;
    // Windows destroyed from inside their own callbacks: deleted once the calls that run their
    // code have returned.
    std::vector<UserInterface*> retiredInterfaces_;

    // The steps of the status change.
    void Disconnect();
    bool Connect();
    bool Arm();

  public:
    KivoGrabInfo grabInfo = {};
    KivoProcessInfo processInfo = {};
    KivoProcessInfo committedProcessInfo = {};
    YuvImage* captureStore = nullptr;      // owned
    YuvImage* currentPicture = nullptr;    // not owned: the host frees it with KivoFreeYUV
    SettingsFile* settingsFile = nullptr;  // owned
    KivoHWnd mainWindow = nullptr;
    UserInterface* userInterface = nullptr;  // owned: the object behind mainWindow
    KivoHWnd parentWindow = nullptr;
    int32_t status = -1;
    int32_t pictureShown = 0;
    int32_t previewState = 0;             // 0 not previewing, 1 previewing, 2 stop requested
    KivoHGlobal previewBitmap = nullptr;  // owned, kept locked while it exists
    int32_t previewMode = 0;
    int32_t showProgress = 1;
    int32_t windowOption = 0;
    int32_t kivolyIsExe = 0;
    KivoCallback callbacks[KivoCallbackSlots] = {};
    VideoSource* videoSource = nullptr;  // owned, from status 1 on
    char messageBuffer[120] = {};
    int32_t portClaimed = 0;
    intptr_t portHandle = -1;
};

}  // namespace kivoly
