// kivoly ui: the capture window, with this program as its host. The window asks for captures,
// saves, new conversions and the end through the host's callbacks; the program answers them
// with the library's calls and shows each picture in a window of its own.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "device_options.h"
#include "display_choice.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"

namespace kivoly::cli {
namespace {

constexpr const char* kName = "ui";

std::string Usage() {
    std::vector<OptionHelp> options = {
        {"--display NAME", "desktop (the default when one can be reached) or headless"},
        {"--script STEPS",
         "headless: act as a person would, one step every --step-ms, then quit. Steps "
         "(space-separated): a key such as space, p, a, escape, shift+f1, ctrl+alt+space; "
         "click:X,Y and drag:X,Y,DX,DY in the window; shot:FILE.png to save the window as it "
         "looks; wait"},
        {"--step-ms N", "milliseconds between script steps (default 300)"},
        {"--save-as FILE", "headless: the name the save dialog answers (.bmp or .png)"},
    };
    const std::vector<OptionHelp> device = DeviceOptionsHelp();
    options.insert(options.end(), device.begin(), device.end());
    return "Usage: kivoly ui [--display desktop|headless] [device options] [--script STEPS]\n\n" +
           Wrap(
               "Opens the capture window: live preview, capture, adjustments and setup. Each "
               "captured picture opens in a window of its own (a new one for every picture "
               "when \"New Window\" is chosen in Setup); Save writes it as "
               ".bmp or .png. With \"Show while processing\" on, a picture is first shown "
               "full-screen as it is converted, until a key or a click closes it (not in a "
               "script, which waits for every capture and conversion).") +
           "\n" + FormatOptions(options);
}

constexpr int kNewWindowShow = 5;  // SW_SHOW

// What the host's callbacks (which take no arguments) work with.
struct UiHost {
    KivoGrabber* grabber = nullptr;
    tools::PictureViewer viewer;
    std::vector<KivoHGlobal> pictures;  // every converted picture still shown; the last is current
    KivoYuvImage* image = nullptr;      // the decoded picture the conversions start from
    int captured = 0;
    bool busy = false;  // inside a callback that captures or converts
    bool failed = false;
    int saved = 0;  // pictures written through the save dialog
};
UiHost* gHost = nullptr;

std::string PictureTitle() {
    return "Picture " + std::to_string(gHost->captured);
}

// Converts the current picture into the current bitmap (a new one for a new window) and shows
// it; the window and its Save button follow.
void ConvertAndShow(bool newPicture) {
    UiHost& host = *gHost;
    const bool newWindow = newPicture && KivoGetWindowOpt(host.grabber);
    KivoHGlobal reuse = host.pictures.empty() || newWindow ? nullptr : host.pictures.back();
    if (reuse) host.pictures.pop_back();
    KivoHGlobal dib = KivoProcYUVToRGB(host.grabber, nullptr, reuse);
    if (!dib) return;
    host.pictures.push_back(dib);
    const std::string title = PictureTitle();
    host.viewer.Show(dib, title, newWindow);
    KivoSetPic(host.grabber, title.c_str(), nullptr, 1);
}

// Marks the host busy while a callback captures or converts.
struct BusySection {
    BusySection() { gHost->busy = true; }
    ~BusySection() { gHost->busy = false; }
};

int32_t OnCapture() {
    BusySection busy;
    KivoYuvImage* image = KivoScanAndMakeYUV(gHost->grabber);
    if (!image) return 0;
    KivoUseYUV(gHost->grabber, image);  // the previous picture goes
    gHost->image = image;
    ++gHost->captured;
    ConvertAndShow(true);
    return 0;
}

int32_t OnProcess() {
    BusySection busy;
    if (gHost->captured > 0) ConvertAndShow(false);
    return 0;
}

int32_t OnSave() {
    UiHost& host = *gHost;
    if (host.pictures.empty()) return 0;
    std::string path;
    if (!tools::AskPictureName(path)) return 0;
    std::string error;
    if (!tools::IsPicturePath(path)) {
        error = path + ": the name must end in .bmp or .png";
    } else if (tools::WriteBitmapPicture(host.pictures.back(), path, error)) {
        std::printf("%s\n", path.c_str());
        ++host.saved;
        return 0;
    }
    host.failed = true;
    tools::ShowWarning(error, "Save");
    return 0;
}

int32_t OnClose() {
    KivolyHostPostQuitMessage(0);
    return 0;
}

int RunUi(const std::vector<std::string>& args) {
    DeviceOptions device;
    std::string display;
    std::string script;
    std::string saveAs;
    int stepMs = 300;
    for (std::size_t i = 0; i < args.size();) {
        std::string error;
        if (TakeDeviceOption(args, &i, &device, &error)) {
            if (!error.empty()) return UsageError(kName, error);
            continue;
        }
        const std::string& arg = args[i];
        if (arg != "--display" && arg != "--script" && arg != "--save-as" && arg != "--step-ms") {
            return UsageError(kName, "unknown argument '" + arg + "'");
        }
        if (i + 1 >= args.size()) return UsageError(kName, arg + " needs a value");
        const std::string& value = args[i + 1];
        if (arg == "--display") display = value;
        if (arg == "--script") script = value;
        if (arg == "--save-as") saveAs = value;
        if (arg == "--step-ms") {
            char* end = nullptr;
            const long ms = std::strtol(value.c_str(), &end, 10);
            if (*end || ms < 10 || ms > 60000) {
                return UsageError(kName,
                                  "--step-ms takes a number from 10 to 60000, not '" + value + "'");
            }
            stepMs = static_cast<int>(ms);
        }
        i += 2;
    }
    std::vector<std::string> steps;
    std::string error;
    if (!tools::ParseUiScript(script, steps, error)) return UsageError(kName, error);
    if (!script.empty() && display.empty()) display = "headless";
    // Headless, only a script can use the window; without one the program would end at once
    // having done nothing.
    if (display == "headless" && steps.empty()) {
        return UsageError(kName, "--display headless needs a --script to drive the window");
    }

    DeviceSession session(kName);
    if (!session.Open(device, &error)) return UsageError(kName, error);
    if (!display.empty()) {
        if (!UseDisplay(display, error)) return UsageError(kName, error);
    } else if (!tools::HostDisplayIsDesktop()) {
        return UsageError(kName,
                          "no desktop display can be reached (give --display headless with "
                          "--script to run without one)");
    }
    if (!saveAs.empty()) tools::AnswerSaveDialogsWith(&saveAs);

    UiHost host;
    host.grabber = KivoAlloc();
    if (!host.grabber) return RunFailure(kName, "not enough memory");
    gHost = &host;
    KivoSetKivolyIsExe(host.grabber, 1);
    int code = 0;
    KivoHWnd window = KivoMakeUI(host.grabber, nullptr, kNewWindowShow);
    if (!window) {
        code = RunFailure(kName,
                          "the window cannot be made: the skin archive Kivoly.d8a is missing or "
                          "damaged");
    } else {
        KivoSetCallback(host.grabber, KivoCallbackCapture, &OnCapture);
        KivoSetCallback(host.grabber, KivoCallbackSave, &OnSave);
        KivoSetCallback(host.grabber, KivoCallbackProcess, &OnProcess);
        KivoSetCallback(host.grabber, KivoCallbackClose, &OnClose);
        if (!steps.empty()) {
            // Headless, nobody would see the picture grow full-screen, and it would wait for a
            // key in the middle of the script: the script's conversions do without it.
            KivoProcessInfo info;
            KivoGetProcessInfo(host.grabber, &info);
            info.ShowWhileProcessing = 0;
            KivoSetProcessInfo(host.grabber, &info);
            tools::StartUiScript(
                window, std::move(steps), stepMs, [&host] { return host.busy; }, &host.failed);
        }
        KivoMessage message;
        while (KivolyHostGetMessage(&message) > 0) {
            if (KivoProcessWindowsMsg(host.grabber, &message)) continue;
            KivolyHostTranslateMessage(&message);
            KivolyHostDispatchMessage(&message);
        }
        if (host.failed) code = 1;
        // A script given a name to save under that never saved has not done its work.
        if (!script.empty() && !saveAs.empty() && host.saved == 0 && !host.failed) {
            code = RunFailure(kName, "the script saved no picture as " + saveAs +
                                         " (Save needs a captured picture)");
        }
    }
    KivoDestroyUI(host.grabber);
    host.viewer.CloseAll();
    for (KivoHGlobal dib : host.pictures)
        KivoFreeDib(dib);
    KivoFreeYUV(host.grabber, host.image);
    KivoFree(host.grabber);
    gHost = nullptr;
    tools::AnswerSaveDialogsWith(nullptr);
    CloseDisplay();
    return code;
}

}  // namespace

KIVOLY_COMMAND("ui", "open the capture window (preview, capture, adjust, setup, save)", Usage(),
               RunUi);

}  // namespace kivoly::cli
