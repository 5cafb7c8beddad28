// kivoly capture: one picture from the digitizer, the way a host drives the library: the
// records are the settings file's with the options on top, KivoScanAndProcess captures, decodes
// and converts, and the bitmap is written as a picture file.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "device_options.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"
#include "picture_options.h"
#include "terminal_progress.h"

namespace kivoly::cli {
namespace {

constexpr const char* kName = "capture";

std::string Usage() {
    std::vector<OptionHelp> options = {
        {"-o, --output PICTURE", "the picture to write (.bmp or .png)"}};
    for (const std::vector<OptionHelp>& list : {DeviceOptionsHelp(), PictureOptionsHelp()})
        options.insert(options.end(), list.begin(), list.end());
    return "Usage: kivoly capture -o PICTURE [options]\n\n" +
           Wrap(
               "Captures one picture from the digitizer and writes it as a .bmp or .png file. "
               "With the simulated digitizer it also tells the capture's device time (what the "
               "hardware takes, at one microsecond a port access) and the time it took here.") +
           "\n" + FormatOptions(options);
}

int RunCapture(const std::vector<std::string>& args) {
    DeviceOptions device;
    PictureOptions picture;
    std::string output;
    for (std::size_t i = 0; i < args.size();) {
        std::string error;
        if (TakeDeviceOption(args, &i, &device, &error)) {
            if (!error.empty()) return UsageError(kName, error);
            continue;
        }
        const OptionResult taken = TakePictureOption(args, i, picture, error);
        if (taken == OptionResult::Error) return UsageError(kName, error);
        if (taken == OptionResult::Taken) {
            ++i;
            continue;
        }
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size()) return UsageError(kName, arg + " needs a file name");
            output = args[i + 1];
            i += 2;
        } else if (!arg.empty() && arg[0] == '-') {
            return UsageError(kName, "unknown option '" + arg + "'");
        } else {
            return UsageError(kName, "unexpected argument '" + arg + "'");
        }
    }
    if (output.empty()) return UsageError(kName, "give the picture to write with -o PICTURE");
    if (!tools::IsPicturePath(output)) {
        return UsageError(kName, output + ": the picture must end in .bmp or .png");
    }
    if (const std::string problem = OutputProblem(output); !problem.empty()) {
        return UsageError(kName, problem);
    }

    DeviceSession session(kName);
    std::string error;
    if (!session.Open(device, &error)) return UsageError(kName, error);
    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) return RunFailure(kName, "not enough memory");
    KivoSetKivolyIsExe(grabber, 1);
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;
    KivoGetGrabInfo(grabber, &grabInfo);
    KivoGetProcessInfo(grabber, &processInfo);
    picture.Apply(grabInfo, processInfo);
    KivoSetGrabInfo(grabber, &grabInfo);
    KivoSetProcessInfo(grabber, &processInfo);

    tools::SimulatedDevice* simulated = session.Simulated();
    const int64_t deviceStart = simulated ? simulated->NowUs() : 0;
    const auto wallStart = std::chrono::steady_clock::now();
    KivoHGlobal dib = nullptr;
    // The device is switched on first so that its battery can be asked before the capture.
    if (KivoSetStatus(grabber, KivoStatusVideoOn)) {
        if (tools::BatteryLow(grabber))
            Warn(kName, "the digitizer's battery is low; replace it soon");
        TerminalProgress progress;
        dib = KivoScanAndProcess(grabber, nullptr);
    }
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    int code = 0;
    if (!dib) {
        code = RunFailure(kName, "no picture was captured");
    } else if (!tools::WriteBitmapPicture(dib, output, error)) {
        code = RunFailure(kName, error);
    } else if (simulated) {
        std::printf("%s: quality %d, %d x %d; device time %.2f s, %.2f s here\n", output.c_str(),
                    grabInfo.Quality, processInfo.Width, processInfo.Height,
                    (simulated->NowUs() - deviceStart) / 1e6, wallSeconds);
    } else {
        std::printf("%s: quality %d, %d x %d\n", output.c_str(), grabInfo.Quality,
                    processInfo.Width, processInfo.Height);
    }
    if (dib) KivoFreeDib(dib);
    KivoFree(grabber);
    return code;
}

}  // namespace

KIVOLY_COMMAND("capture", "capture a picture from the digitizer (or the simulated one)", Usage(),
               RunCapture);

}  // namespace kivoly::cli
