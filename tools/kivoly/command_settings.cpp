// kivoly settings: where the settings live and the records as a Grabber loads them from there.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"

namespace kivoly::cli {
namespace {

const std::string kUsage =
    "Usage: kivoly settings [--folder DIR]\n\n" +
    Wrap(
        "Prints the settings folder, the settings file in it, and the acquisition and "
        "processing records as the library loads them from that file, in the form the file "
        "takes (True and False for switches). A value the library could not read, or had to "
        "bring into range, is pointed at with what applies instead (defaults where a key is "
        "missing or cannot be read; the width decides the picture size).") +
    "\n" +
    FormatOptions({{"--folder DIR",
                    "read the settings from DIR instead of the settings folder "
                    "($KIVOLY_HOME, else $XDG_CONFIG_HOME/kivoly, else "
                    "~/.config/kivoly)"}});

// The key's text as the file holds it; nullopt when the key is missing.
std::optional<std::string> StoredText(const char* section, const char* key) {
    return tools::StoredSetting(section, key);
}

void PrintLine(const char* name, const std::string& value, const std::string& note) {
    if (note.empty()) {
        std::printf("  %-20s %s\n", name, value.c_str());
    } else {
        std::printf("  %-20s %-10s %s\n", name, value.c_str(), note.c_str());
    }
}

// An integer key: what the file holds is pointed at when it is not what the library uses.
void PrintField(const char* section, const char* name, int32_t value, const char* note = "") {
    std::string remark = note;
    if (const auto text = StoredText(section, name)) {
        const char* begin = text->c_str();
        char* end = nullptr;
        errno = 0;
        const long stored = std::strtol(begin, &end, 10);
        const bool number = end != begin && *end == '\0' && errno == 0;
        if (end == begin) {
            remark = "<- '" + *text + "' is not a number: the default";
        } else if (!number) {
            remark = "<- '" + *text + "' is read as " + std::to_string(value);
        } else if (stored != value && std::strcmp(name, "Height") != 0) {
            remark = "<- " + *text + " is out of range: brought to " + std::to_string(value);
        }
    }
    PrintLine(name, std::to_string(value), remark);
}

// A boolean key, printed as the file takes it: only a first letter T or F is read.
void PrintBoolean(const char* section, const char* name, int32_t value, const char* note = "") {
    std::string remark = note;
    if (const auto text = StoredText(section, name)) {
        if (text->empty() || ((*text)[0] != 'T' && (*text)[0] != 'F')) {
            remark = "<- '" + *text + "' not read (only a first T or F)";
        }
    }
    PrintLine(name, value ? "True" : "False", remark);
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
            if (i + 1 == args.size()) return UsageError("settings", "--folder needs a folder");
            KivolyHostSetSettingsFolder(args[++i].c_str());
        } else if (!args[i].empty() && args[i][0] == '-') {
            return UsageError("settings", "unknown option '" + args[i] + "'");
        } else {
            return UsageError("settings", "unexpected argument '" + args[i] + "'");
        }
    }

    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) return RunFailure("settings", "not enough memory");
    KivoGrabInfo grab;
    KivoProcessInfo process;
    KivoGetGrabInfo(grabber, &grab);
    KivoGetProcessInfo(grabber, &process);
    const int32_t showProgress = KivoGetShowProgress(grabber);
    const int32_t windowOption = KivoGetWindowOpt(grabber);
    KivoFree(grabber);

    const std::string path = tools::SettingsFilePath();
    struct stat info {};
    const bool present = ::stat(path.c_str(), &info) == 0;
    std::printf("settings folder  %s\n", tools::SettingsFolder().c_str());
    std::printf("settings file    %s%s\n\n", path.c_str(),
                present ? "" : "  (not there: every default applies)");

    const char* acquire = tools::kAcquireSection;
    std::printf("[%s]  acquisition record\n", acquire);
    PrintField(acquire, "Quality", grab.Quality, QualityName(grab.Quality));
    PrintBoolean(acquire, "UseColor", grab.UseColor, grab.UseColor ? "colour" : "grey scale");
    PrintBoolean(acquire, "CameraInput", grab.CameraInput,
                 grab.CameraInput ? "camera" : "tape player");
    // The port is hexadecimal text: "10" is sixteen, which no port has.
    std::string portNote = PortNote(grab.ParallelPort);
    if (const auto text = StoredText(acquire, "ParallelPort")) {
        char* end = nullptr;
        std::strtol(text->c_str(), &end, 16);
        if (end == text->c_str()) portNote = "<- '" + *text + "' is not a number: the default";
    }
    PrintLine("ParallelPort", std::to_string(grab.ParallelPort), portNote);
    PrintField(acquire, "IODelay", grab.IODelay,
               grab.IODelay < 0 ? "settled at the first capture" : "");
    PrintBoolean(acquire, "PowerSaver", grab.PowerSaver);
    PrintBoolean(acquire, "TerminateVideo", grab.TerminateVideo);
    PrintBoolean(acquire, "Negative", grab.Negative);
    const tools::VideoLockTime lockTime = tools::ReadVideoLockTime();
    std::printf("  %-20s %-10g %s\n\n", "VideoLockTime", lockTime.used,
                lockTime.used == lockTime.stored ? "seconds" : "seconds (the default)");

    std::printf("[%s]  user interface\n", tools::kInterfaceSection);
    PrintBoolean(tools::kInterfaceSection, "ShowProgress", showProgress);
    PrintBoolean(tools::kInterfaceSection, "KivoToNewWindow", windowOption);
    const char* processing = tools::kProcessingSection;
    std::printf("\n[%s]  processing record\n", processing);
    PrintField(processing, "Hue", process.Hue);
    PrintField(processing, "Color", process.Color);
    PrintField(processing, "Brightness", process.Brightness);
    PrintField(processing, "Contrast", process.Contrast);
    PrintField(processing, "Sharpness", process.Sharpness);
    PrintField(processing, "Gamma", process.Gamma);
    std::string widthNote;
    if (const auto text = StoredText(processing, "Width");
        text && *text != "320" && *text != "640" && *text != "1500") {
        widthNote = "<- '" + *text + "' is no width: 320, 640 or 1500";
    }
    PrintLine("Width", std::to_string(process.Width), widthNote);
    PrintField(processing, "Height", process.Height, "(follows the width)");
    PrintLine("ColorCount", std::to_string(process.ColorCount), "(24-bit; not a setting)");
    PrintField(processing, "Red", process.Red);
    PrintField(processing, "Green", process.Green);
    PrintField(processing, "Blue", process.Blue);
    PrintBoolean(processing, "ShowWhileProcessing", process.ShowWhileProcessing);

    std::printf("\n[%s]  read when a sound is due\n", tools::kSoundSection);
    for (const char* key : {"KivoSound", "NoVideoSound", "LowBatterySound"}) {
        const std::string name = tools::StoredSetting(tools::kSoundSection, key, 120).value_or("");
        std::printf("  %-20s %s\n", key, name.empty() ? "(none)" : name.c_str());
    }
    return 0;
}

}  // namespace

KIVOLY_COMMAND("settings", "show the settings folder and the records as the library loads them",
               kUsage, Run);

}  // namespace kivoly::cli
