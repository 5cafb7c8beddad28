// The devices the backend offers, from "kivoly.conf" in SANE's configuration folders, one a line
// ('#' starts a comment):
//
//   sim [PICTURE] [fault=NAME ...]   the simulated digitizer, seeing PICTURE (PNG, BMP or PPM;
//                                    colour bars without one), with faults by name
//   ppdev:/dev/parportN              the digitizer on that port, through the parallel-port driver
//   direct[:0x378]                   the digitizer through port instructions (root only)
//
// A front end names a device "kivoly:" followed by the line's first word. Without the file the
// backend offers the simulated digitizer and the first parallel port that exists.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kivoly::sane {

struct DeviceEntry {
    std::string name;                 // the line's first word
    std::string backEnd;              // "sim", or the port back end of kivoly/host.h
    int port = 0;                     // LPT number the library is told; 0 keeps its setting
    std::string picture;              // sim: what the digitizer sees; empty: colour bars
    std::vector<std::string> faults;  // sim: fault names

    bool Simulated() const { return backEnd == "sim"; }
};

// Reads one line: an entry, nothing for a blank line or a comment, or false with a reason.
bool ParseDeviceLine(const std::string& line, std::optional<DeviceEntry>& entry,
                     std::string& error);

// SANE's configuration folders: those of `configDir` (SANE_CONFIG_DIR, separated by ':'; a
// trailing ':' adds the system folder), else the system folder /etc/sane.d.
std::vector<std::string> ConfigFolders(const char* configDir);

// The devices of the first kivoly.conf in `folders`, or the defaults when there is none.
// Bad lines are logged and left out, as are lines that repeat a name and ports that do not exist.
std::vector<DeviceEntry> LoadDevices(const std::vector<std::string>& folders);

}  // namespace kivoly::sane
