#include "sane/device_config.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/port_io.h"
#include "sane/backend_log.h"
#include "sim/simulated_faults.h"

namespace kivoly::sane {

namespace {

constexpr const char* kSystemFolder = "/etc/sane.d";
constexpr const char* kConfigName = "kivoly.conf";
constexpr const char* kFaultPrefix = "fault=";
constexpr int kParportsProbed = 4;

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool ParseSim(std::istringstream& words, DeviceEntry& entry, std::string& error) {
    entry.backEnd = "sim";
    entry.port = 1;
    std::string word;
    while (words >> word) {
        if (StartsWith(word, kFaultPrefix)) {
            const std::string fault = word.substr(std::char_traits<char>::length(kFaultPrefix));
            sim::SimulatedFaults check;
            if (!sim::ApplyFault(fault, &check)) {
                error = "unknown fault '" + fault + "'";
                return false;
            }
            entry.faults.push_back(fault);
        } else if (entry.picture.empty()) {
            entry.picture = word;
        } else {
            error = "sim takes one picture, not '" + word + "' as well";
            return false;
        }
    }
    return true;
}

// "direct" alone keeps the library's port; "direct:BASE" is the LPT port of that base.
bool ParseDirect(const std::string& word, DeviceEntry& entry, std::string& error) {
    entry.backEnd = word;
    if (word == "direct") return true;
    char* end = nullptr;
    const unsigned long base = std::strtoul(word.c_str() + 7, &end, 0);
    for (int number = 1; number <= 3; ++number) {
        if (end && *end == '\0' && word.size() > 7 && base == platform::StandardPortBase(number)) {
            entry.port = number;
            return true;
        }
    }
    error = "'" + word + "' is not direct:0x378, direct:0x278 or direct:0x3bc";
    return false;
}

}  // namespace

bool ParseDeviceLine(const std::string& line, std::optional<DeviceEntry>& entry,
                     std::string& error) {
    entry.reset();
    std::istringstream words(line.substr(0, line.find('#')));
    DeviceEntry parsed;
    if (!(words >> parsed.name)) return true;
    bool good = false;
    if (parsed.name == "sim") {
        good = ParseSim(words, parsed, error);
    } else if (StartsWith(parsed.name, "ppdev:") && parsed.name.size() > 6) {
        parsed.backEnd = parsed.name;
        parsed.port = 1;  // LPT1 is the device named
        good = true;
    } else if (parsed.name == "direct" || StartsWith(parsed.name, "direct:")) {
        good = ParseDirect(parsed.name, parsed, error);
    } else {
        error = "unknown device '" + parsed.name + "'";
    }
    std::string extra;
    if (good && !parsed.Simulated() && words >> extra) {
        error = "'" + parsed.name + "' takes nothing after it";
        good = false;
    }
    if (good) entry = std::move(parsed);
    return good;
}

std::vector<std::string> ConfigFolders(const char* configDir) {
    std::vector<std::string> folders;
    if (!configDir || !*configDir) return {kSystemFolder};
    std::string list = configDir;
    std::istringstream parts(list);
    std::string folder;
    while (std::getline(parts, folder, ':')) {
        if (!folder.empty()) folders.push_back(folder);
    }
    if (list.back() == ':') folders.push_back(kSystemFolder);
    return folders;
}

std::vector<DeviceEntry> LoadDevices(const std::vector<std::string>& folders) {
    std::vector<DeviceEntry> devices;
    for (const std::string& folder : folders) {
        const std::string path = folder + "/" + kConfigName;
        std::ifstream file(path);
        if (!file) continue;
        Log(kLogCall, "devices from %s", path.c_str());
        std::string line;
        for (int number = 1; std::getline(file, line); ++number) {
            std::optional<DeviceEntry> entry;
            std::string error;
            if (!ParseDeviceLine(line, entry, error)) {
                Log(kLogError, "%s:%d: %s", path.c_str(), number, error.c_str());
            } else if (entry &&
                       std::any_of(devices.begin(), devices.end(),
                                   [&](const DeviceEntry& d) { return d.name == entry->name; })) {
                Log(kLogError, "%s:%d: '%s' is already listed", path.c_str(), number,
                    entry->name.c_str());
            } else if (entry && entry->port != 0 && StartsWith(entry->backEnd, "ppdev:") &&
                       !Exists(entry->backEnd.substr(6))) {
                Log(kLogFault, "%s:%d: %s does not exist", path.c_str(), number,
                    entry->backEnd.c_str() + 6);
            } else if (entry) {
                devices.push_back(std::move(*entry));
            }
        }
        return devices;
    }
    std::optional<DeviceEntry> entry;
    std::string error;
    ParseDeviceLine("sim", entry, error);
    devices.push_back(*entry);
    for (int number = 0; number < kParportsProbed; ++number) {
        const std::string port = "/dev/parport" + std::to_string(number);
        if (Exists(port) && ParseDeviceLine("ppdev:" + port, entry, error)) {
            devices.push_back(*entry);
            break;
        }
    }
    return devices;
}

}  // namespace kivoly::sane
