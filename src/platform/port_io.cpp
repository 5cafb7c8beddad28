#include "platform/port_io.h"

#include "platform/process_state.h"

namespace kivoly::platform {
namespace {

class NonePortIo : public PortIo {
  public:
    uint8_t In(uint16_t) override { return 0xFF; }
    void Out(uint16_t, uint8_t) override {}
    intptr_t Claim(int) override { return -1; }
    void Release(intptr_t) override {}
};

NonePortIo gNonePortIo;
PortIo* gHostChoice = nullptr;

}  // namespace

PortIo& CurrentPortIo() {
    if (PortIo* installed = Process().portIo) return *installed;
    return gHostChoice ? *gHostChoice : gNonePortIo;
}

void InstallPortIo(PortIo* io) {
    Process().portIo = io;
}

bool PortIoInstalled() {
    return Process().portIo != nullptr;
}

void ChooseHostPortIo(PortIo* io) {
    gHostChoice = io;
}

uint16_t StandardPortBase(int number) {
    switch (number) {
        case 1:
            return 0x378;
        case 2:
            return 0x278;
        case 3:
            return 0x3BC;
        default:
            return 0;
    }
}

std::unique_ptr<PortIo> MakeNonePortIo() {
    return std::make_unique<NonePortIo>();
}

}  // namespace kivoly::platform
