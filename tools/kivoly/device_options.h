// The device options of the commands that use the digitizer (capture, preview): which back end
// drives the port, and for the simulated digitizer its video and faults.
//
//   --device sim | ppdev:/dev/parportN | direct[:0x378] | none
//                       (default $KIVOLY_DEVICE, else ppdev:/dev/parport0)
//   --simulate          short for --device sim
//   --video PICTURE     what the simulated digitizer sees (PNG, BMP or PPM; default colour bars)
//   --fault NAME        a fault of the simulated digitizer (may be repeated)
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"

namespace kivoly::cli {

// The device without --device: what $KIVOLY_DEVICE names, else ppdev:/dev/parport0.
std::string DefaultDevice();

struct DeviceOptions {
    std::string device = DefaultDevice();
    std::string video;
    std::vector<std::string> faults;
};

// Takes the device option at args[*index] (and its value) when there is one: advances *index
// past it and answers true; on a bad value sets `error`. False for any other argument.
bool TakeDeviceOption(const std::vector<std::string>& args, std::size_t* index,
                      DeviceOptions* options, std::string* error);

// The help lines of the device options.
std::vector<OptionHelp> DeviceOptionsHelp();

// The chosen back end, installed while this lives. The library's message boxes are printed on
// the terminal and the port-selection dialog is asked there (Cancel when there is none).
class DeviceSession {
  public:
    // `command` names the command in what is printed; it must outlive the session.
    explicit DeviceSession(const char* command);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    bool Open(const DeviceOptions& options, std::string* error);
    // The simulated digitizer, when it is the back end.
    tools::SimulatedDevice* Simulated() { return simulated_.get(); }

  private:
    const char* command_;
    std::unique_ptr<tools::SimulatedDevice> simulated_;
};

}  // namespace kivoly::cli
