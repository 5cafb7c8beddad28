// The direct back end: port instructions on the register addresses, after the kernel granted
// this process access to them with ioperm (which needs root). Access is asked for on the first
// claim or register access of a port; a port that is refused behaves as an empty address range,
// so a process without the privilege sees no device rather than faulting.
#include "platform/port_io.h"

#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define KIVOLY_HAVE_PORT_INSTRUCTIONS 1
#endif

#include <array>

namespace kivoly::platform {
namespace {

constexpr int kPorts = 3;

class DirectPortIo : public PortIo {
  public:
    explicit DirectPortIo(uint16_t onlyBase) : onlyBase_(onlyBase) {}

    uint8_t In(uint16_t address) override {
#ifdef KIVOLY_HAVE_PORT_INSTRUCTIONS
        if (Allowed(address)) return inb(address);
#else
        (void)address;
#endif
        return 0xFF;
    }

    void Out(uint16_t address, uint8_t value) override {
#ifdef KIVOLY_HAVE_PORT_INSTRUCTIONS
        if (Allowed(address)) outb(value, address);
#else
        (void)address;
        (void)value;
#endif
    }

    intptr_t Claim(int number) override {
        if (number < 1 || number > kPorts) return -1;
        tried_[number - 1] = false;
        return Grant(number - 1) ? number : -1;
    }

    void Release(intptr_t) override {}

  private:
    bool Allowed(uint16_t address) {
        for (int i = 0; i < kPorts; ++i) {
            uint16_t base = StandardPortBase(i + 1);
            if ((address >= base && address <= base + 2) || address == base + 0x402) {
                return Grant(i);
            }
        }
        return false;
    }

    bool Grant(int index) {
        if (tried_[index]) return granted_[index];
        tried_[index] = true;
        uint16_t base = StandardPortBase(index + 1);
        granted_[index] = false;
#ifdef KIVOLY_HAVE_PORT_INSTRUCTIONS
        if (onlyBase_ == 0 || onlyBase_ == base) {
            granted_[index] = ioperm(base, 3, 1) == 0 && ioperm(base + 0x402, 1, 1) == 0;
        }
#endif
        return granted_[index];
    }

    uint16_t onlyBase_;
    std::array<bool, kPorts> tried_ = {};
    std::array<bool, kPorts> granted_ = {};
};

}  // namespace

std::unique_ptr<PortIo> MakeDirectPortIo(uint16_t base) {
    return std::make_unique<DirectPortIo>(base);
}

}  // namespace kivoly::platform
