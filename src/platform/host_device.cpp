// KivolyHostSetDevice: the host's choice of the port back end.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "kivoly/host.h"
#include "platform/port_io.h"

namespace kivoly::platform {
namespace {
// Never destroyed: the library's clean-up at unload still powers devices down through it.
PortIo* gChosen = nullptr;
}  // namespace
}  // namespace kivoly::platform

extern "C" int32_t KivolyHostSetDevice(const char* choice) {
    using namespace kivoly::platform;
    if (!choice) return 0;
    const std::string text = choice;
    std::unique_ptr<PortIo> chosen;
    if (text == "none") {
        chosen = MakeNonePortIo();
    } else if (text.rfind("ppdev:", 0) == 0 && text.size() > 6) {
        chosen = MakePpdevPortIo(text.substr(6));
    } else if (text == "direct") {
        chosen = MakeDirectPortIo(0);
    } else if (text.rfind("direct:", 0) == 0) {
        char* end = nullptr;
        const unsigned long base = std::strtoul(text.c_str() + 7, &end, 0);
        bool standard = false;
        for (int number = 1; number <= 3; ++number)
            standard |= base == StandardPortBase(number);
        if (!end || *end != '\0' || !standard) return 0;
        chosen = MakeDirectPortIo(static_cast<uint16_t>(base));
    } else {
        return 0;
    }
    InstallPortIo(chosen.get());
    delete gChosen;
    gChosen = chosen.release();
    return 1;
}
