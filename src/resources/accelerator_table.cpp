#include "resources/accelerator_table.h"

#include <array>

namespace kivoly {

namespace {

constexpr uint8_t kVirt = AccelVirtualKey;
constexpr uint8_t kShift = AccelShift;
constexpr uint8_t kCtrl = AccelControl;
constexpr uint8_t kAlt = AccelAlt;

// Virtual keys of the table.
constexpr uint16_t kCancel = 0x03;  // Break with Ctrl held
constexpr uint16_t kTab = 0x09;
constexpr uint16_t kEscape = 0x1B;
constexpr uint16_t kSpace = 0x20;
constexpr uint16_t kLeft = 0x25;
constexpr uint16_t kUp = 0x26;
constexpr uint16_t kRight = 0x27;
constexpr uint16_t kDown = 0x28;
constexpr uint16_t kInsert = 0x2D;
constexpr uint16_t kF1 = 0x70;

// The main window's keys; Space with Ctrl and Alt, Ctrl and Shift, or all three selects the
// raw-file modes of a capture. Left appears twice, as it always has. F1 with Shift is listed
// too: a key entry matches only with its own modifiers, and the version box needs Shift held.
constexpr std::array<AcceleratorEntry, 27> kTable104{{
    {kVirt, 'A', 5},
    {kVirt, 'E', 3},
    {kVirt, 'P', 2},
    {kVirt, 'S', 8},
    {kVirt, 'V', 4},
    {kVirt, kF1, 7},
    {kVirt | kShift, kF1, 7},  // Help with Shift held: the version box
    {kVirt, kSpace, 6},
    {kVirt | kCtrl | kAlt, kSpace, 6},
    {kVirt | kCtrl | kShift, kSpace, 6},
    {kVirt | kCtrl | kShift | kAlt, kSpace, 6},
    {kVirt, kEscape, 1},
    {kVirt | kCtrl, kCancel, 1},
    {kVirt | kAlt, 'P', 9},
    {kVirt | kAlt, 'R', 10},
    {kVirt | kAlt, 'S', 11},
    {kVirt | kCtrl, 'C', 13},
    {kVirt | kCtrl, kInsert, 13},
    {kVirt, kUp, 14},
    {kVirt, kRight, 16},
    {kVirt, kTab, 16},
    {kVirt, kLeft, 17},
    {kVirt, kLeft, 17},
    {kVirt | kShift, kTab, 17},
    {kVirt, kDown, 15},
    {kVirt | kShift, kUp, 18},
    {kVirt | kShift, kDown, 19},
}};

}  // namespace

std::span<const AcceleratorEntry> AcceleratorTableEntries(int id) {
    if (id == kMainAccelerators) return kTable104;
    return {};
}

}  // namespace kivoly
