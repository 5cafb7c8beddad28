// The library's accelerator tables: keys that become commands before they are translated into
// characters. Table 104 serves the main window and the progress window.
#pragma once

#include <cstdint>
#include <span>

namespace kivoly {

enum AcceleratorFlags : uint8_t {
    AccelVirtualKey = 0x01,
    AccelShift = 0x04,
    AccelControl = 0x08,
    AccelAlt = 0x10,
};

struct AcceleratorEntry {
    uint8_t flags;
    uint16_t key;  // a virtual key with AccelVirtualKey, else a character
    uint16_t command;
};

inline constexpr int kMainAccelerators = 104;

// The entries of table `id` in resource order; empty for an unknown id.
std::span<const AcceleratorEntry> AcceleratorTableEntries(int id);

}  // namespace kivoly
