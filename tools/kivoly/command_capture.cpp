// kivoly capture: one picture from the digitizer, the way a host drives the library: the
// records are the settings file's with the options on top, KivoScanAndProcess captures, decodes
// and converts, and the bitmap is written as a picture file.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bitmap_picture.h"
#include "command.h"
#include "device_options.h"
#include "kivoly/kivoly.h"
#include "picture_options.h"
#include "sim/simulated_rig.h"
#include "terminal_progress.h"

namespace kivoly::cli {
namespace {

const std::string kUsage =
    std::string(
        "Usage: kivoly capture -o PICTURE [options]\n\n"
        "Captures one picture from the digitizer and writes it as a .bmp or .png file.\n"
        "With the simulated digitizer it also tells the capture's device time (what the\n"
        "hardware takes, at one microsecond a port access) and the time it took here.\n\n"
        "  -o, --output PICTURE  the picture to write (.bmp or .png)\n") +
    DeviceOptionsHelp() + kPictureOptionsHelp;

int Fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "kivoly capture: %s\n", message.c_str());
    return code;
}

int RunCapture(const std::vector<std::string>& args) {
    DeviceOptions device;
    PictureOptions picture;
    std::string output;
    for (std::size_t i = 0; i < args.size();) {
        std::string error;
        if (TakeDeviceOption(args, &i, &device, &error)) {
            if (!error.empty()) return Fail(error);
            continue;
        }
        const OptionResult taken = TakePictureOption(args, i, picture, error);
        if (taken == OptionResult::Error) return Fail(error);
        if (taken == OptionResult::Taken) {
            ++i;
            continue;
        }
        const std::string& arg = args[i];
        if (arg == "-o" || arg == "--output") {
            if (i + 1 >= args.size()) return Fail(arg + " needs a file name");
            output = args[i + 1];
            i += 2;
        } else {
            return Fail("unknown argument '" + arg + "' (kivoly capture --help)");
        }
    }
    if (output.empty()) return Fail("give the picture to write with -o PICTURE");
    if (!IsPicturePath(output)) return Fail(output + ": the picture must end in .bmp or .png");

    DeviceSession session;
    std::string error;
    if (!session.Open(device, &error)) return Fail(error);
    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) return Fail("not enough memory", 1);
    KivoSetKivolyIsExe(grabber, 1);
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;
    KivoGetGrabInfo(grabber, &grabInfo);
    KivoGetProcessInfo(grabber, &processInfo);
    picture.Apply(grabInfo, processInfo);
    KivoSetGrabInfo(grabber, &grabInfo);
    KivoSetProcessInfo(grabber, &processInfo);

    sim::SimulatedRig* simulated = session.Simulated();
    const int64_t deviceStart = simulated ? simulated->NowUs() : 0;
    const auto wallStart = std::chrono::steady_clock::now();
    KivoHGlobal dib = nullptr;
    {
        TerminalProgress progress;
        dib = KivoScanAndProcess(grabber, nullptr);
    }
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    int code = 0;
    if (!dib) {
        code = Fail("no picture was captured", 1);
    } else if (!WriteBitmapPicture(grabber, dib, output, error)) {
        code = Fail(error, 1);
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

KIVOLY_COMMAND("capture", "capture a picture from the digitizer (or the simulated one)", kUsage,
               RunCapture);

}  // namespace kivoly::cli
