// kivoly settings: where the settings live and the records as a Grabber loads them from there.
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "api/settings_io.h"
#include "command.h"
#include "framework/settings_file.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "platform/profile.h"
#include "platform/settings_folder.h"

namespace kivoly::cli {
namespace {

constexpr const char* kUsage =
    "Usage: kivoly settings [--folder DIR]\n\n"
    "Prints the settings folder, the settings file in it, and the acquisition and processing\n"
    "records as the library loads them from that file (defaults where a key is missing or\n"
    "cannot be read; the width decides the picture size).\n\n"
    "  --folder DIR   read the settings from DIR instead of the settings folder\n"
    "                 ($KIVOLY_HOME, else $XDG_CONFIG_HOME/kivoly, else ~/.config/kivoly)\n";

void PrintField(const char* name, int32_t value, const char* note = "") {
    if (*note) {
        std::printf("  %-20s %-10d %s\n", name, value, note);
    } else {
        std::printf("  %-20s %d\n", name, value);
    }
}

const char* QualityName(int32_t quality) {
    switch (quality) {
        case 0:
            return "moving";
        case 1:
            return "still";
        case 2:
            return "70 ns still";
        case 3:
            return "35 ns still";
        default:
            return "(unknown mode)";
    }
}

const char* PortNote(int32_t port) {
    switch (port) {
        case 1:
            return "LPT1";
        case 2:
            return "LPT2";
        case 3:
            return "LPT3";
        default:
            return "(no such port: the search asks for another)";
    }
}

int Run(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--folder") {
            if (i + 1 == args.size()) {
                std::fprintf(stderr, "kivoly settings: --folder needs a folder\n");
                return 2;
            }
            KivolyHostSetSettingsFolder(args[++i].c_str());
        } else {
            std::fprintf(stderr, "kivoly settings: unexpected argument '%s' (see --help)\n",
                         args[i].c_str());
            return 2;
        }
    }

    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) {
        std::fprintf(stderr, "kivoly settings: out of memory\n");
        return 1;
    }
    KivoGrabInfo grab;
    KivoProcessInfo process;
    KivoGetGrabInfo(grabber, &grab);
    KivoGetProcessInfo(grabber, &process);
    const int32_t showProgress = KivoGetShowProgress(grabber);
    const int32_t windowOption = KivoGetWindowOpt(grabber);
    KivoFree(grabber);

    const std::string path = platform::ProfilePath(kSettingsFileName);
    struct stat info {};
    const bool present = ::stat(path.c_str(), &info) == 0;
    std::printf("settings folder  %s\n", platform::SettingsFolder().c_str());
    std::printf("settings file    %s%s\n\n", path.c_str(),
                present ? "" : "  (not there: every default applies)");

    std::printf("[%s]  acquisition record\n", kAcquireSection);
    PrintField("Quality", grab.Quality, QualityName(grab.Quality));
    PrintField("UseColor", grab.UseColor, grab.UseColor ? "colour" : "grey scale");
    PrintField("CameraInput", grab.CameraInput, grab.CameraInput ? "camera" : "tape player");
    PrintField("ParallelPort", grab.ParallelPort, PortNote(grab.ParallelPort));
    PrintField("IODelay", grab.IODelay, grab.IODelay < 0 ? "settled at the first capture" : "");
    PrintField("PowerSaver", grab.PowerSaver);
    PrintField("TerminateVideo", grab.TerminateVideo);
    PrintField("Negative", grab.Negative);
    const SettingsFile file(kSettingsFileName);
    const double stored = ReadVideoLockTime(file);
    const double lockTime = AcceptedVideoLockTime(stored);
    std::printf("  %-20s %-10g %s\n\n", "VideoLockTime", lockTime,
                lockTime == stored ? "seconds" : "seconds (the default)");

    std::printf("[%s]  user interface\n", kInterfaceSection);
    PrintField("ShowProgress", showProgress);
    PrintField("KivoToNewWindow", windowOption);
    std::printf("\n[%s]  processing record\n", kProcessingSection);
    PrintField("Hue", process.Hue);
    PrintField("Color", process.Color);
    PrintField("Brightness", process.Brightness);
    PrintField("Contrast", process.Contrast);
    PrintField("Sharpness", process.Sharpness);
    PrintField("Gamma", process.Gamma);
    PrintField("Width", process.Width);
    PrintField("Height", process.Height, "(follows the width)");
    PrintField("ColorCount", process.ColorCount, "(24-bit; not a setting)");
    PrintField("Red", process.Red);
    PrintField("Green", process.Green);
    PrintField("Blue", process.Blue);
    PrintField("ShowWhileProcessing", process.ShowWhileProcessing);

    std::printf("\n[%s]  read when a sound is due\n", kSoundSection);
    for (const char* key : {"KivoSound", "NoVideoSound", "LowBatterySound"}) {
        char name[120];
        platform::ReadProfileString(kSoundSection, key, "", name, sizeof name, kSettingsFileName);
        std::printf("  %-20s %s\n", key, *name ? name : "(none)");
    }
    return 0;
}

}  // namespace

KIVOLY_COMMAND("settings", "show the settings folder and the records as the library loads them",
               kUsage, Run);

}  // namespace kivoly::cli
