// The ppdev back end: each of LPT1 to LPT3 is one /dev/parportN device, opened and claimed
// exclusively on its first use (a claim or a register access) and given back on Release. A port
// whose device cannot be opened or claimed behaves as an empty address range.
#include <fcntl.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <charconv>

#include "platform/port_io.h"

namespace kivoly::platform {
namespace {

constexpr int kPorts = 3;

class PpdevPortIo : public PortIo {
  public:
    explicit PpdevPortIo(const std::string& firstDevice) {
        // "/dev/parport0": the digits at the end number LPT1; the others follow.
        std::size_t digits = firstDevice.size();
        while (digits > 0 && std::isdigit(static_cast<unsigned char>(firstDevice[digits - 1]))) {
            --digits;
        }
        prefix_ = firstDevice.substr(0, digits);
        // A number too large for a device (or for int) names none; no exception may leave here.
        first_ = 0;
        const char* end = firstDevice.data() + firstDevice.size();
        if (digits < firstDevice.size() &&
            std::from_chars(firstDevice.data() + digits, end, first_).ec != std::errc()) {
            first_ = -1;
        }
    }
    ~PpdevPortIo() override {
        for (int i = 0; i < kPorts; ++i)
            Close(i);
    }

    uint8_t In(uint16_t address) override {
        int register_ = 0;
        int fd = FdFor(address, &register_);
        unsigned char value = 0xFF;
        if (fd < 0) return value;
        if (register_ == 0) {
            ioctl(fd, PPRDATA, &value);
        } else if (register_ == 1) {
            ioctl(fd, PPRSTATUS, &value);
        } else if (register_ == 2) {
            ioctl(fd, PPRCONTROL, &value);
        }
        // The extended control register is out of reach through ppdev: it reads as absent.
        return value;
    }

    void Out(uint16_t address, uint8_t value) override {
        int register_ = 0;
        int fd = FdFor(address, &register_);
        if (fd < 0) return;
        unsigned char byte = value;
        if (register_ == 0) {
            ioctl(fd, PPWDATA, &byte);
        } else if (register_ == 2) {
            ioctl(fd, PPWCONTROL, &byte);
        }
    }

    intptr_t Claim(int number) override {
        if (number < 1 || number > kPorts) return -1;
        failed_[number - 1] = false;
        return Open(number - 1) >= 0 ? number : -1;
    }

    void Release(intptr_t handle) override {
        if (handle >= 1 && handle <= kPorts) Close(static_cast<int>(handle) - 1);
    }

  private:
    int FdFor(uint16_t address, int* register_) {
        for (int i = 0; i < kPorts; ++i) {
            uint16_t base = StandardPortBase(i + 1);
            if (address >= base && address <= base + 2) {
                *register_ = address - base;
                return Open(i);
            }
            if (address == base + 0x402) {
                *register_ = 0x402;
                return -1;
            }
        }
        return -1;
    }

    int Open(int index) {
        if (fds_[index] >= 0 || failed_[index]) return fds_[index];
        std::string path = prefix_ + std::to_string(first_ + index);
        int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0 && (ioctl(fd, PPEXCL) != 0 || ioctl(fd, PPCLAIM) != 0)) {
            ::close(fd);
            fd = -1;
        }
        fds_[index] = fd;
        // Do not retry on every register access; the next claim tries again.
        failed_[index] = fd < 0;
        return fd;
    }

    void Close(int index) {
        if (fds_[index] >= 0) {
            ioctl(fds_[index], PPRELEASE);
            ::close(fds_[index]);
        }
        fds_[index] = -1;
        failed_[index] = false;
    }

    std::string prefix_;
    int first_ = 0;
    std::array<int, kPorts> fds_ = {-1, -1, -1};
    std::array<bool, kPorts> failed_ = {};
};

}  // namespace

std::unique_ptr<PortIo> MakePpdevPortIo(const std::string& firstDevice) {
    return std::make_unique<PpdevPortIo>(firstDevice);
}

}  // namespace kivoly::platform
