// What the kivoly program needs of the library beyond kivoly.h and host.h: pictures and raw
// capture files in the library's formats, the decode of raw files, the simulated digitizer that
// the program drives itself, the settings as the library reads them, and the program's own
// windows on the library's display. Only the program uses it (it links kivoly_tools); it is not
// installed and is C++ only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kivoly/kivoly.h"

namespace kivoly::tools {

// ---- Pictures -------------------------------------------------------------------------------
// True when `path` ends in .bmp or .png (any letter case).
bool IsPicturePath(const std::string& path);
// Writes a bitmap that the library handed out to `path`: .bmp through the library's own writer,
// .png through the picture writer (24-bit bitmaps). An existing file is replaced only by a
// complete one; false with a one-line reason in `error`.
bool WriteBitmapPicture(KivoHGlobal dib, const std::string& path, std::string& error);
// Writes the 8-bit preview bitmap (KivoGetPreviewDIB) as a PNG picture through its palette.
bool WritePreviewFrame(const KivoBitmapInfoHeader* header, const std::string& path,
                       std::string& error);

// ---- Raw capture files ----------------------------------------------------------------------
enum class EncodeResult { Written, PictureUnreadable, FileFailed };
// Writes the raw capture file that a decode of `quality` reads, as the digitizer would have
// captured a still camera showing the picture at `picturePath` (PNG, 24-bit BMP or PPM; empty:
// the built-in colour bars). The reason goes to `error`.
EncodeResult EncodeRawFile(const std::string& picturePath, int quality, const std::string& rawPath,
                           std::string& error);

// What a file named as a raw capture (.nsr) holds, looked at before it is decoded, so that the
// program can say "not a raw capture" or "ends after 1,000 bytes" where the library can only
// say that it found no video signal.
struct RawFileCheck {
    int records = 0;      // whole records, each one field
    std::string problem;  // one line naming the file; "" when the file can be decoded
};
RawFileCheck CheckRawFile(const std::string& path);
// The records (fields) that a decode of `quality` reads.
int RecordsForQuality(int quality);
// The best quality that `records` fields give.
int QualityOfRecords(int records);

// Decodes raw files as the library decodes a device capture, and converts each picture as
// KivoProcYUVToRGB does under the Grabber's records. The capture store and the bitmap are kept
// from one file to the next while their size holds.
class RawFileDecoder {
  public:
    explicit RawFileDecoder(KivoGrabber* grabber);
    ~RawFileDecoder();  // frees the bitmap and the store
    RawFileDecoder(const RawFileDecoder&) = delete;
    RawFileDecoder& operator=(const RawFileDecoder&) = delete;

    // The converted picture (kept by the decoder, filled again by the next decode), or null
    // with the library's reason in `error`.
    KivoHGlobal Decode(const std::string& rawPath, std::string& error);

  private:
    struct Store;
    KivoGrabber* grabber_;
    std::unique_ptr<Store> store_;
};

// ---- The simulated digitizer ----------------------------------------------------------------
struct FaultName {
    const char* name;
    const char* description;
};
// The faults the simulated digitizer can be given, by name.
const std::vector<FaultName>& SimulatedFaultNames();
bool IsSimulatedFault(const std::string& name);

// The simulated digitizer behind the port while it lives, seeing a picture (PNG, BMP or PPM;
// empty: colour bars) with the named faults.
class SimulatedDevice {
  public:
    // Null, with the reason naming the file in `error`, when the picture cannot be read.
    static std::unique_ptr<SimulatedDevice> Open(const std::string& picture,
                                                 const std::vector<std::string>& faults,
                                                 std::string& error);
    ~SimulatedDevice();
    SimulatedDevice(const SimulatedDevice&) = delete;
    SimulatedDevice& operator=(const SimulatedDevice&) = delete;

    // The device's own time, in microseconds.
    int64_t NowUs() const;
    // From now on the device's time runs no faster than real time.
    void PaceWithRealTime();

  private:
    struct Rig;
    explicit SimulatedDevice(std::unique_ptr<Rig> rig);
    std::unique_ptr<Rig> rig_;
};

// True when the Grabber's device is connected and reports a low battery.
bool BatteryLow(KivoGrabber* grabber);

// ---- Dialogs and message boxes --------------------------------------------------------------
// The answers of the port-selection dialog (host.h): Cancel, and "Port &1" (then 2 and 3).
inline constexpr int32_t kDialogCancel = 2;
inline constexpr int32_t kPortButtonFirst = 1000;
// The button a message box of `style` presses by default.
int32_t DefaultMessageBoxAnswer(uint32_t style);
// Shows an exclamation box with an OK button.
void ShowWarning(const std::string& text, const std::string& caption);
// Answers every save-file dialog with `name` (null: the dialogs are cancelled again); the
// string must outlive the answering.
void AnswerSaveDialogsWith(const std::string* name);
// Asks for the name of a picture to save (.bmp or .png); false when the dialog is cancelled.
bool AskPictureName(std::string& path);

// ---- Displays and windows -------------------------------------------------------------------
// Opens the desktop display; false with the reason when none can be reached.
bool OpenDesktopDisplay(std::string& reason);
// The display a host gets without choosing one; true when it is the desktop.
bool HostDisplayIsDesktop();

// The program's own picture windows: each shows a converted picture at its size (fitted to
// the screen when larger) under a title, and is closed by the window manager like any other.
class PictureViewer {
  public:
    PictureViewer();
    ~PictureViewer();
    PictureViewer(const PictureViewer&) = delete;
    PictureViewer& operator=(const PictureViewer&) = delete;

    // Shows `dib` (the caller keeps it alive while it is shown) in a new window, or in the
    // latest one when `newWindow` is false and one is open.
    void Show(KivoHGlobal dib, const std::string& title, bool newWindow);
    // The latest window, null when none is open.
    KivoHWnd Latest() const { return latest_; }
    // Every window made by this viewer is closed.
    void CloseAll();

  private:
    KivoHWnd latest_ = nullptr;
};

// Makes the window of KivoShowDib ready on the display in use.
void PreparePictureWindow();

// A window that shows the Grabber's preview bitmap at twice its size.
KivoHWnd OpenPreviewWindow(KivoGrabber* grabber);
// Repaints the preview window and handles the waiting messages; false once the window was
// closed, a key pressed in it or the quit message taken.
bool PumpPreviewWindow(KivoHWnd window);
void ClosePreviewWindow(KivoHWnd window);

// A scripted person for `kivoly ui --script`: steps carried out one by one on a timer, so that
// they also reach the window while a preview pumps its own messages.
//
// Steps, separated by spaces:
//   KEY               press and release a key in the main window (brought to the front),
//                     modifiers joined by "+": space, ctrl+alt+space, shift+f1, p, a, escape,
//                     tab, shift+up, ... (held until the next step)
//   click:X,Y         click at a point of the main window's client area (the window is
//                     brought to the front first)
//   drag:X,Y,DX,DY    press at a point, move by (DX, DY) in 3-pixel steps, release
//   shot:FILE         save the main window as it looks as a PNG picture
//   wait              do nothing for one step
// When the steps are done the program quits.
//
// Splits and checks the steps; false with the first bad step in `error`.
bool ParseUiScript(const std::string& text, std::vector<std::string>& steps, std::string& error);
// Runs `steps` on `mainWindow` from now on, one every `periodMs` milliseconds; the program's
// loop then ends with the quit message after the last one. While `busy` answers true (the
// host is capturing or converting) the script waits, as a person waits for the work to end.
// `failed` is set when a step could not be carried out (a picture that could not be saved).
void StartUiScript(KivoHWnd mainWindow, std::vector<std::string> steps, int periodMs,
                   std::function<bool()> busy, bool* failed);

// ---- Settings -------------------------------------------------------------------------------
// The sections of the settings file.
extern const char* const kAcquireSection;
extern const char* const kInterfaceSection;
extern const char* const kProcessingSection;
extern const char* const kSoundSection;
// The settings folder, and the settings file's path in it.
std::string SettingsFolder();
std::string SettingsFilePath();
// A key's text as the settings file holds it (at most `capacity` - 1 characters); nullopt when
// the key is missing.
std::optional<std::string> StoredSetting(const char* section, const char* key,
                                         std::size_t capacity = 256);
// The video lock time in seconds as the file holds it, and the one the library uses.
struct VideoLockTime {
    double stored;
    double used;
};
VideoLockTime ReadVideoLockTime();

// ---- Files ----------------------------------------------------------------------------------
// Files written at once, committed together: flushing to the disk is what makes a write cost
// more than a copy. Each file still replaces its target only whole.
class FileGroup {
  public:
    FileGroup();
    ~FileGroup();
    FileGroup(const FileGroup&) = delete;
    FileGroup& operator=(const FileGroup&) = delete;

    // While one lives, every file the library completes on this thread is handed to the group
    // instead of being put in place.
    class Joining {
      public:
        explicit Joining(FileGroup& group);
        ~Joining();
        Joining(const Joining&) = delete;
        Joining& operator=(const Joining&) = delete;

      private:
        struct Scope;
        std::unique_ptr<Scope> scope_;
    };

    // The files waiting for Commit.
    std::size_t Size() const;
    // Puts every file in its place and empties the group. When any file cannot be synced, or
    // its place has become one that a file cannot take, none is put in place: every old file
    // stays and no temporary is left. False when any file is not in place; Errors says which.
    bool Commit();
    // One entry for each file of the last Commit, in the order they joined: "" for a file put
    // in place, else the one-line reason.
    const std::vector<std::string>& Errors() const;

  private:
    struct Files;
    std::unique_ptr<Files> files_;
};

// ---- The program ----------------------------------------------------------------------------
// The library's version as the program prints it ("1.1.0.2").
const char* VersionText();
// Files being written are removed when a signal ends the program.
void RemoveTemporariesOnSignal();

}  // namespace kivoly::tools
