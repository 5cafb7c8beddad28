// What each of the 525 lines of a frame carries: the sync pulses of its two halves, whether it
// has a colour burst, which part of it shows picture and which picture row that is.
//
// Frame line 1 starts the first field: 6 equalising pulses (lines 1-3), 6 broad pulses (4-6),
// 6 equalising pulses (7-9), blanked lines with burst (10-20), picture from line 21 to the first
// half of 263. The second field starts in the middle of line 263 with the same sequence half a
// line later (pulses from 263.5 to 272), blanked lines 273-282, picture from the second half of
// line 283 to 525.
//
// Interlace: line 263 + k lies half a line below line k, so the frame's rows run
// 283, 21, 284, 22, 285, ... from the top. Row 0 of the picture is line 284, row 1 line 22; a
// line outside the 480 picture rows shows the nearest row.
#pragma once

namespace kivoly::sim {

enum class SyncPulse { None, Horizontal, Equalising, Broad };

struct LineLayout {
    SyncPulse firstHalf = SyncPulse::None;   // pulse at the start of the line
    SyncPulse secondHalf = SyncPulse::None;  // pulse in the middle of the line
    bool burst = false;
    // Part of the line that carries picture, in line samples (empty when from >= to).
    double activeFrom = 0;
    double activeTo = 0;
    int pictureRow = 0;  // row of the kPictureRows-row picture shown on this line
};

// Layout of frame line `number` (1..525).
LineLayout FrameLineLayout(int number);

// The frame line that holds stored line `index` of a field of the given parity, as a decoder
// that keeps the fourth line after a synced capture's first sync stores it: line 21 + index for
// the first field, 283 + index for the second.
int StoredLineToFrameLine(bool secondField, int index);

}  // namespace kivoly::sim
