#include "device_options.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "kivoly/host.h"

namespace kivoly::cli {

namespace {

constexpr const char* kPortDialogCaption = "Kivoly hardware not found!";

// Answers the library's message boxes on the terminal: the port-selection dialog is asked (and
// cancelled when there is no terminal to ask), every other box is printed and acknowledged.
int32_t AnswerOnTerminal(KivoHWnd, const char* textLines, const char* caption, uint32_t style,
                         void* command) {
    const std::string text = textLines;
    if (std::strcmp(caption, kPortDialogCaption) != 0) {
        RunFailure(static_cast<const char*>(command), text);
        return tools::DefaultMessageBoxAnswer(style);
    }
    std::fprintf(stderr, "%s\n", caption);
    if (!isatty(STDIN_FILENO)) return tools::kDialogCancel;
    // The first line is the explanation; the buttons follow.
    std::fprintf(stderr, "%s\n", text.substr(0, text.find('\n')).c_str());
    for (;;) {
        std::fprintf(stderr, "Port 1, 2 or 3, or c to cancel: ");
        std::string answer;
        if (!std::getline(std::cin, answer) || answer == "c" || answer == "C") {
            return tools::kDialogCancel;
        }
        if (answer == "1" || answer == "2" || answer == "3") {
            return tools::kPortButtonFirst + (answer[0] - '1');
        }
    }
}

}  // namespace

bool TakeDeviceOption(const std::vector<std::string>& args, std::size_t* index,
                      DeviceOptions* options, std::string* error) {
    const std::string& arg = args[*index];
    auto value = [&](const char* what) -> const std::string* {
        if (*index + 1 >= args.size()) {
            *error = arg + " needs " + what;
            return nullptr;
        }
        return &args[++*index];
    };
    if (arg == "--simulate") {
        options->device = "sim";
    } else if (arg == "--device") {
        if (const std::string* v = value("a device (sim, ppdev:PATH, direct[:BASE] or none)")) {
            options->device = *v;
        }
    } else if (arg == "--video") {
        if (const std::string* v = value("a picture file")) options->video = *v;
    } else if (arg == "--fault") {
        if (const std::string* v = value("a fault name")) {
            if (!tools::IsSimulatedFault(*v)) *error = "unknown fault '" + *v + "'";
            options->faults.push_back(*v);
        }
    } else {
        return false;
    }
    ++*index;
    return true;
}

std::string DefaultDevice() {
    const char* named = std::getenv("KIVOLY_DEVICE");
    return named && *named ? named : "ppdev:/dev/parport0";
}

std::vector<OptionHelp> DeviceOptionsHelp() {
    std::vector<OptionHelp> help = {
        {"--device DEVICE",
         "what drives the parallel port: sim (the simulated digitizer), ppdev:/dev/parportN "
         "(LPT1; LPT2 and LPT3 follow), direct or direct:0x378 (port instructions, root only), "
         "none (default: $KIVOLY_DEVICE, else ppdev:/dev/parport0)"},
        {"--simulate", "the same as --device sim"},
        {"--video PICTURE",
         "the simulated digitizer's video: a PNG, BMP or PPM picture (default: colour bars)"},
        {"--fault NAME", "a fault of the simulated digitizer (repeatable):"},
    };
    for (const tools::FaultName& fault : tools::SimulatedFaultNames())
        help.push_back({"", std::string("  ") + fault.name + ": " + fault.description});
    return help;
}

namespace {

// Why the port a ppdev or direct back end is to use cannot serve, in the system's words with a
// hint; "" when it can, or when the back end has no port of its own.
std::string PortProblem(const std::string& device) {
    if (device.rfind("ppdev:", 0) == 0) {
        const std::string path = device.substr(6);
        const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            std::string reason = "cannot open " + path + ": " + std::strerror(error);
            if (error == ENOENT) reason += "; is the ppdev module loaded (modprobe ppdev)?";
            if (error == EACCES) reason += "; is this user in the group that owns it (lp)?";
            return reason;
        }
        std::string reason;
        if (::ioctl(fd, PPCLAIM) != 0) {
            const int error = errno;
            reason = "cannot claim " + path + ": " + std::strerror(error);
            if (error == ENOTTY || error == EINVAL) reason += "; it is not a parallel port";
        } else {
            ::ioctl(fd, PPRELEASE);
        }
        ::close(fd);
        return reason;
    }
    if (device.rfind("direct", 0) == 0) {
#if defined(__x86_64__) || defined(__i386__)
        const unsigned long base =
            device.size() > 7 ? std::strtoul(device.c_str() + 7, nullptr, 0) : 0x378;
        if (::ioperm(base, 3, 1) != 0) {
            char address[16];
            std::snprintf(address, sizeof address, "0x%lx", base);
            return std::string("cannot reach the port at ") + address + ": " +
                   std::strerror(errno) + "; the direct back end needs root, or try " +
                   "ppdev:/dev/parport0";
        }
        ::ioperm(base, 3, 0);
#else
        return "this machine has no port instructions; try ppdev:/dev/parport0";
#endif
    }
    return "";
}

}  // namespace

DeviceSession::DeviceSession(const char* command) : command_(command) {
    KivolyHostSetMessageBoxResponder(&AnswerOnTerminal, const_cast<char*>(command_));
}

DeviceSession::~DeviceSession() {
    KivolyHostSetMessageBoxResponder(nullptr, nullptr);
    simulated_.reset();
}

bool DeviceSession::Open(const DeviceOptions& options, std::string* error) {
    if (options.device != "sim") {
        if (!options.video.empty() || !options.faults.empty()) {
            *error = "--video and --fault need the simulated digitizer (--device sim)";
            return false;
        }
        if (!KivolyHostSetDevice(options.device.c_str())) {
            *error = "unknown device '" + options.device + "'";
            return false;
        }
        // The library only says that no hardware was found; the system knows why.
        const std::string problem = PortProblem(options.device);
        if (!problem.empty()) RunFailure(command_, problem);
        return true;
    }
    simulated_ = tools::SimulatedDevice::Open(options.video, options.faults, *error);
    return simulated_ != nullptr;
}

}  // namespace kivoly::cli
