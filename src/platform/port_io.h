// Parallel-port register access at absolute I/O addresses, and the claim of a port that keeps
// other programs off it while the device is in use.
//
// The device driver reads and writes bytes at base + 0 (data), + 1 (status), + 2 (control) and
// + 0x402 (extended control) of the bases 0x378, 0x278 and 0x3BC. A back end decides what stands
// behind those addresses:
//   - none: nothing; reads give 0xFF (a floating bus) and writes vanish, claims fail.
//   - ppdev: the Linux parallel-port driver (/dev/parportN). Claiming LPTn opens the device
//     and claims it exclusively; register accesses go through its ioctls.
//   - direct: raw port instructions after ioperm (root only, x86 only).
//   - the simulated digitizer (src/sim), which a host chooses or a test installs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace kivoly::platform {

class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual uint8_t In(uint16_t address) = 0;
    virtual void Out(uint16_t address, uint8_t value) = 0;
    // Claims port `number` (1 to 3: LPT1 to LPT3) for this process alone; a handle of 0 or
    // more, or -1 when the port is absent or in use.
    virtual intptr_t Claim(int number) = 0;
    // Gives a claimed port back; an unknown handle is ignored.
    virtual void Release(intptr_t handle) = 0;
};

// The back end in use: the installed one, else the host's choice, else the none back end.
PortIo& CurrentPortIo();
// Installs `io` (not owned) over the host's choice; null returns to that choice.
void InstallPortIo(PortIo* io);
// Whether a back end is installed over the host's choice.
bool PortIoInstalled();
// The host's choice of back end (not owned), used while none is installed; null: none.
void ChooseHostPortIo(PortIo* io);

// The standard base address of port `number` (1 to 3), or 0.
uint16_t StandardPortBase(int number);

// Back ends for a host to install. `firstDevice` names the device of LPT1 ("/dev/parport0");
// LPT2 and LPT3 are the two that follow it. `base` limits direct access to one port (0: the
// three standard ones).
std::unique_ptr<PortIo> MakeNonePortIo();
std::unique_ptr<PortIo> MakePpdevPortIo(const std::string& firstDevice);
std::unique_ptr<PortIo> MakeDirectPortIo(uint16_t base);

}  // namespace kivoly::platform
