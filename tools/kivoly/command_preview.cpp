// kivoly preview: the digitizer's live preview. On the desktop it runs in a window until the
// window is closed or a key is pressed; without a desktop (or with -o) it saves a number of
// frames as pictures.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "device_options.h"
#include "display_choice.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"

namespace kivoly::cli {
namespace {

constexpr const char* kName = "preview";

std::string Usage() {
    std::vector<OptionHelp> options = {
        {"-o, --output PREFIX",
         "save frames instead of showing them (a picture name such as pv.png gives pv-1.png, "
         "pv-2.png, ...; a folder holds preview-1.png, ...)"},
        {"--frames N", "how many frames to save (1 to 1000, default 3)"},
    };
    const std::vector<OptionHelp> device = DeviceOptionsHelp();
    options.insert(options.end(), device.begin(), device.end());
    return "Usage: kivoly preview [-o PREFIX] [--frames N] [device options]\n\n" +
           Wrap(
               "Shows the digitizer's live preview: 160 x 120 grey frames, saturated pixels in "
               "red. On the desktop it runs in a window until the window is closed or a key is "
               "pressed. Without a desktop, or with -o, it saves N frames as PREFIX-1.png, ... "
               "(PREFIX defaults to \"preview\").") +
           "\n" + FormatOptions(options);
}

// What the frame callback (which takes no arguments) works with.
struct PreviewRun {
    KivoGrabber* grabber = nullptr;
    std::string prefix;
    int framesWanted = 3;
    int framesSaved = 0;
    std::string error;
    KivoHWnd window = nullptr;
    bool batteryWarned = false;
};
PreviewRun* gRun = nullptr;

// The prefix of the frames' names: "pv.png" names its frames pv-1.png, ..., and a folder
// holds preview-1.png, ...
std::string PrefixOf(const std::string& output) {
    std::error_code ec;
    if (output.empty()) return "preview";
    if (output.back() == '/' || std::filesystem::is_directory(output, ec)) {
        return (std::filesystem::path(output) / "preview").string();
    }
    const std::size_t dot = output.find_last_of('.');
    const std::size_t slash = output.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return output;
    std::string extension = output.substr(dot);
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension == ".png" || extension == ".bmp" ? output.substr(0, dot) : output;
}

// Says once that the battery is low, as the main window's indicator would.
void WarnOfBattery(PreviewRun& run) {
    if (run.batteryWarned || !tools::BatteryLow(run.grabber)) return;
    run.batteryWarned = true;
    Warn(kName, "the digitizer's battery is low; replace it soon");
}

int32_t SaveFrame() {
    PreviewRun& run = *gRun;
    WarnOfBattery(run);
    // Exactly the frames asked for, however often the preview still calls.
    if (run.framesSaved >= run.framesWanted) return 0;
    const KivoBitmapInfoHeader* header = KivoGetPreviewDIB(run.grabber);
    const std::string path = run.prefix + "-" + std::to_string(run.framesSaved + 1) + ".png";
    if (!header || !tools::WritePreviewFrame(header, path, run.error)) {
        if (run.error.empty()) run.error = "no preview bitmap";
        return 0;
    }
    std::printf("%s\n", path.c_str());
    return ++run.framesSaved < run.framesWanted ? 1 : 0;
}

// The host's turn at every finished frame: show it and handle the window's messages.
int32_t ShowFrame() {
    PreviewRun& run = *gRun;
    WarnOfBattery(run);
    return tools::PumpPreviewWindow(run.window) ? 1 : 0;
}

bool OpenWindow(PreviewRun& run) {
    std::string error;
    if (!UseDisplay("desktop", error)) {
        Warn(kName, error + "; saving " + std::to_string(run.framesWanted) + " frames as " +
                        run.prefix + "-1.png, ... instead");
        return false;
    }
    run.window = tools::OpenPreviewWindow(run.grabber);
    return run.window != nullptr;
}

int RunPreview(const std::vector<std::string>& args) {
    DeviceOptions device;
    PreviewRun run;
    bool save = false;
    run.prefix = "preview";
    for (std::size_t i = 0; i < args.size();) {
        std::string error;
        if (TakeDeviceOption(args, &i, &device, &error)) {
            if (!error.empty()) return UsageError(kName, error);
            continue;
        }
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output" || arg == "--frames") {
            if (i + 1 >= args.size()) return UsageError(kName, arg + " needs a value");
            const std::string& value = args[i + 1];
            if (arg == "--frames") {
                char* end = nullptr;
                const long frames = std::strtol(value.c_str(), &end, 10);
                if (*end || frames < 1 || frames > 1000) {
                    return UsageError(
                        kName, "--frames takes a number from 1 to 1000, not '" + value + "'");
                }
                run.framesWanted = static_cast<int>(frames);
            } else {
                run.prefix = PrefixOf(value);
            }
            save = true;
            i += 2;
        } else if (!arg.empty() && arg[0] == '-') {
            return UsageError(kName, "unknown option '" + arg + "'");
        } else {
            return UsageError(kName, "unexpected argument '" + arg + "'");
        }
    }
    if (const std::string problem = OutputProblem(run.prefix + "-1.png"); !problem.empty()) {
        return UsageError(kName, problem);
    }

    DeviceSession session(kName);
    std::string error;
    if (!session.Open(device, &error)) return UsageError(kName, error);
    run.grabber = KivoAlloc();
    if (!run.grabber) return RunFailure(kName, "not enough memory");
    gRun = &run;
    const bool shown = !save && OpenWindow(run);
    // Shown, the simulated digitizer's frames come at the device's own rate, not as fast as
    // they can be simulated; saved, as fast as they can.
    if (tools::SimulatedDevice* simulated = session.Simulated(); simulated && shown) {
        simulated->PaceWithRealTime();
    }
    KivoSetCallback(run.grabber, KivoCallbackPreviewFrame, shown ? &ShowFrame : &SaveFrame);
    const bool started = KivoStartPreviewing(run.grabber) != 0;
    if (shown) {
        tools::ClosePreviewWindow(run.window);
        CloseDisplay();
    }
    KivoFree(run.grabber);
    gRun = nullptr;
    if (!started) return RunFailure(kName, "the preview could not start: no device answered");
    if (!run.error.empty()) return RunFailure(kName, run.error);
    return 0;
}

}  // namespace

KIVOLY_COMMAND("preview", "show the digitizer's live preview, or save some of its frames", Usage(),
               RunPreview);

}  // namespace kivoly::cli
