// PreviewScan: what the simulated digitizer stores of a line at half rate, the rate of the live
// preview.
//
// The preview reads a reduced picture straight out of the device: for each line it finds the
// sync tip (four low pairs of samples), clocks 96 samples past it and averages the next 2 x 160
// samples into 160 pixels. With a steady clock of half the normal rate those 320 samples span
// 640 of the 736 samples that a capture's picture shows, so the preview would show the picture
// enlarged and cut. Our device's half-rate scan is therefore not a steady clock: it stores each
// kept line as 455 (or 454) samples laid out for that read-out,
//   - 8 samples of the front porch (line samples -20 to -6),
//   - 101 samples from the sync tip through the back porch (line samples 4 to 140), so that the
//     read-out's sync search and skip land on the picture's left edge,
//   - 320 samples of the picture, 2.3 line samples apart, so that 160 pixels span its 736
//     columns exactly as a capture's picture does,
//   - the rest of the picture's right border up to the front porch.
// Every stored sample is the mean of the signal over one subcarrier cycle (four line samples)
// around its place, so chroma cancels and the preview shows luma, as two samples half a cycle
// apart give on a real half-rate clock. Lines are kept whole: a stored line starts in the front
// porch, so no read-out line joins two video lines.
#pragma once

#include <cstdint>
#include <span>

namespace kivoly::sim {

// The line samples that ScanPreviewLine reads: from kScanFirst relative to line sample 0, and
// how many.
inline constexpr int kScanFirst = -24;
inline constexpr int kScanSamples = 920;

// Stores one line: `line` holds kScanSamples samples at the normal clock from line sample
// kScanFirst; `out` receives 455 or 454 samples.
void ScanPreviewLine(std::span<const uint8_t> line, std::span<uint8_t> out);

}  // namespace kivoly::sim
