#include "sim/internal/ntsc_line_layout.h"

#include <algorithm>

#include "sim/ntsc_timing.h"

namespace kivoly::sim {

namespace {

// Pulse in half-line slot `slot` of a field (slot 0 is the field's start): 6 equalising, 6 broad,
// 6 equalising, then a line sync at every line start and nothing in the middle of a line.
SyncPulse VerticalIntervalPulse(int slot, bool lineStart) {
    if (slot < 6) return SyncPulse::Equalising;
    if (slot < 12) return SyncPulse::Broad;
    if (slot < 18) return SyncPulse::Equalising;
    return lineStart ? SyncPulse::Horizontal : SyncPulse::None;
}

// Blanking after the middle of line 283 before its half line of picture starts.
constexpr double kHalfLineBlanking = 20.0;

int ClampRow(int row) {
    return std::clamp(row, 0, kPictureRows - 1);
}

}  // namespace

LineLayout FrameLineLayout(int number) {
    LineLayout layout;
    const double fullFrom = kSyncEdge + kActiveStart;
    const double fullTo = kSyncEdge + kActiveEnd;
    const double middleEdge = kHalfLine + kSyncEdge;
    const double frontPorch = kLineSamples - kActiveEnd;

    // Half-line slots counted from the start of the field that the line's first half belongs to.
    if (number <= 263) {
        const int slot = 2 * (number - 1);
        layout.firstHalf = VerticalIntervalPulse(slot, true);
        // The second field's first equalising pulse falls in the middle of line 263.
        layout.secondHalf =
            number == 263 ? SyncPulse::Equalising : VerticalIntervalPulse(slot + 1, false);
    } else {
        const int slot = 2 * (number - 263) - 1;  // line 264 starts at slot 1 of the second field
        layout.firstHalf = VerticalIntervalPulse(slot, true);
        layout.secondHalf = VerticalIntervalPulse(slot + 1, false);
    }
    layout.burst = layout.firstHalf == SyncPulse::Horizontal;

    if (number >= 21 && number <= 263) {
        layout.activeFrom = fullFrom;
        layout.activeTo = number == 263 ? middleEdge - frontPorch : fullTo;
        layout.pictureRow = ClampRow(2 * (number - 22) + 1);
    } else if (number >= 283) {
        // Line 283 shows picture in its second half only.
        layout.activeFrom = number == 283 ? middleEdge + kHalfLineBlanking : fullFrom;
        layout.activeTo = fullTo;
        layout.pictureRow = ClampRow(2 * (number - 263 - 21));
    }
    return layout;
}

int StoredLineToFrameLine(bool secondField, int index) {
    return secondField ? 283 + index : 21 + index;
}

}  // namespace kivoly::sim
