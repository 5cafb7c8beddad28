// The device's live preview: captures at half rate and reads a reduced picture straight out of
// the device, line by line, finding each line's sync in the sample stream itself. Two samples
// make one pixel; 119 read lines spread over the rows of the bitmap. While no capture completes
// the picture shows moving noise instead.
#include <cstring>
#include <random>

#include "capture/internal/device_deadline.h"
#include "capture/internal/preview_palette.h"
#include "capture/parallel_port_device.h"
#include "platform/process_state.h"

namespace kivoly {

namespace {
constexpr uint16_t kData = 0;
constexpr uint16_t kStatus = 1;
constexpr double kPreviewCaptureSeconds = 2.0 / 15.0;
constexpr double kPreviewRetrySeconds = 1.0 / 30.0;
constexpr int kPreviewReadLines = 119;
constexpr int16_t kMaxNoSyncCount = 6;

// Corner fade weights out of 255, by distance from the top or bottom edge and from the side.
constexpr uint8_t kCornerFade[4][4] = {
    {0, 25, 156, 233},
    {25, 226, 255, 255},
    {156, 255, 255, 255},
    {233, 255, 255, 255},
};

void FillNormalRamp() {
    const DevicePreviewState& preview = Process().devicePreview;
    const PreviewRamps& ramps = PreviewGreyRamps();
    FillPalette(preview.palette, preview.negative ? ramps.negative : ramps.normal);
}
}  // namespace

void ParallelPortDevice::Preview(uint8_t* palette, uint8_t* bits, int32_t width, int32_t height,
                                 PreviewCallback callback, void* context, int32_t negative,
                                 int32_t roundCorners) {
    SetPreviewBitmap(bits, static_cast<int16_t>(width), static_cast<int16_t>(height), negative != 0,
                     static_cast<int16_t>(roundCorners) != 0);
    if (!Power(true)) return;
    DevicePreviewState& preview = Process().devicePreview;
    preview.palette = palette;
    preview.negative = negative != 0;
    FillNormalRamp();
    SetSampleRate(1);
    preview.stop = false;
    if (bits) {
        while (!preview.stop) {
            PreviewFrame(callback, context);
        }
    }
    // Leave a fresh full-rate capture behind, which a capture that reuses the last one reads.
    SetSampleRate(0);
    AcquireField();
}

void ParallelPortDevice::SetPreviewBitmap(uint8_t* bits, int16_t width, int16_t height,
                                          bool negative, bool roundCorners) {
    previewBits_ = bits;
    previewWidth_ = width;
    previewHeight_ = height;
    previewNegative_ = negative;
    previewRoundCorners_ = roundCorners;
}

bool ParallelPortDevice::WaitForCapture(int32_t deadline, uint8_t* status) {
    do {
        *status = ReadPort(portBase_ + kStatus);
    } while (!(*status & 0x40) && !IsPast(deadline));
    *status = ReadPort(portBase_ + kStatus);
    return (*status & 0x40) != 0;
}

void ParallelPortDevice::PreviewFrame(PreviewCallback callback, void* context) {
    bool ok = ProbeDevice();
    SetSyncWait(true);
    if (Process().devicePreview.noSyncCount > 3) SetSyncWait(false);
    Rewind();
    SetLines(0, LineD7);
    Read(nullptr, 100);
    if (!delayCalibrated_) {
        AcquireField();
        // AcquireField leaves the device in read-out mode, where status bit 6 is the alarm; the
        // poll below must see the done flag of command mode.
        SetLines(LineD7, LineD7);
    } else {
        WaitForLock();
        SetLines(LineD7, LineD7);
        PulseTrigger();
    }
    uint8_t status = 0;
    bool done = WaitForCapture(Deadline(kPreviewCaptureSeconds), &status);
    if (!done || !ok) {
        if (Process().devicePreview.noSyncCount != kMaxNoSyncCount)
            ++Process().devicePreview.noSyncCount;
        SetSyncWait(false);
        PulseTrigger();
        done = WaitForCapture(Deadline(kPreviewRetrySeconds), &status);
        if (!done || !ok) {
            NoiseDisplay(callback, context, ok);
            return;
        }
    }
    ReadStatus(0xFFFE);  // refresh the cached word while the lines may still move
    BeginReadout();
    if (Process().devicePreview.noSyncCount != 0 && !(ReadStatus(0x0008) & 0x0008))
        --Process().devicePreview.noSyncCount;
    SetLines(0, LineD7);

    const int width = previewWidth_;
    const int height = previewHeight_;
    uint8_t* row = previewBits_ + (height - 1) * width;  // the top row of the picture
    for (int i = 0; i < 3; ++i)
        ReadPreviewLine(row, previewWidth_);
    int read = 0;
    for (int r = 0; r < height && !Process().devicePreview.stop; ++r) {
        do {
            ReadPreviewLine(row, previewWidth_);
            ++read;
        } while (height * read / kPreviewReadLines < r);
        if (previewRoundCorners_) RoundPreviewCorners(static_cast<int16_t>(r));
        row -= width;
        if (r == height - 1) ClipCheck();
        Process().devicePreview.stop = callback(context, static_cast<int16_t>(r)) == 0;
    }
    EndReadout();
}

void ParallelPortDevice::ClipCheck() {
    int largest = -1;
    int occurrences = 0;
    const uint8_t* pixel = previewBits_;
    for (int r = 0; r < previewHeight_; ++r) {
        int previous = 0;
        for (int x = 0; x < previewWidth_; ++x, ++pixel) {
            const int pair = *pixel + previous;
            previous = *pixel;
            if (pair > largest) {
                largest = pair;
                occurrences = 1;
            } else if (pair == largest) {
                ++occurrences;
            }
        }
    }
    SetClipping(largest == 510 && occurrences > previewWidth_);
    uint8_t* entry = Process().devicePreview.palette + 4 * 255;
    if (Clipping()) {
        entry[0] = 0;
        entry[1] = 0;
        entry[2] = 255;
        entry[3] = 0;
    } else {
        std::memcpy(entry, entry - 4, 4);
    }
}

void ParallelPortDevice::NoiseDisplay(PreviewCallback callback, void* context, bool ok) {
    FillPalette(Process().devicePreview.palette, PreviewGreyRamps().noSignal);
    const int pixels = previewWidth_ * previewHeight_;
    std::minstd_rand& random = Process().devicePreview.noise;
    std::uniform_int_distribution<int> extra(0, 7);
    std::uniform_int_distribution<int> byteValue(0, 255);
    uint8_t status = 0;
    do {
        SetLines(LineD7, LineD7);
        PulseTrigger();  // a new capture attempt
        // XOR a fresh odd-length key over the previous noise, so it keeps moving.
        uint8_t key[31];
        const int keyLength = 17 + 2 * extra(random);
        for (int i = 0; i < keyLength; ++i)
            key[i] = static_cast<uint8_t>(byteValue(random));
        for (int i = 0; i < pixels; ++i)
            previewBits_[i] ^= key[i % keyLength];
        if (previewRoundCorners_) RoundPreviewCorners(-1);
        Process().devicePreview.stop = callback(context, -1) == 0;
        if (!ok) {
            ok = Power(true);
            if (ok) SetSampleRate(1);
        }
        status = ReadPort(portBase_ + kStatus);
    } while (!((status & 0x40) && ok) && !Process().devicePreview.stop);
    SetLines(0, LineD7);
    Read(nullptr, 100);
    FillNormalRamp();
    std::memset(previewBits_, 64, pixels);
    Process().devicePreview.stop = callback(context, static_cast<int16_t>(previewHeight_ - 1)) == 0;
}

void ParallelPortDevice::ReadPreviewLine(uint8_t* destination, int16_t width) {
    if (portBase_ == 0) return;
    lineShadow_ = (lineShadow_ & ~LineD3) | ((ReadPort(portBase_ + kData) & 0x08) << 8);
    if (!destination) {
        for (int i = 0; i < width; ++i)
            ClockSample(false);
        return;
    }
    for (int i = 0; i < width; ++i) {
        const int first = ClockSample(true);
        const int second = ClockSample(true);
        destination[i] = static_cast<uint8_t>((first + second) / 2);
    }

    // Find the next line's sync: four low pairs of samples (the sync tip lies below 32).
    const bool fastPath = ioDelay_ <= 0;
    int budget = SamplesPerLine() - width;
    int previous = 32;
    int state = 0;
    int firstLow = 64;  // the pair sum that started the sync, which places it within a sample
    int lastLow = 0;
    while (state < 4 && budget > 0) {
        const int sample = ClockSample(true);
        --budget;
        const int sum = previous + sample;
        previous = sample;
        if (sum < 64) {
            if (state == 0) firstLow = sum;
            if (++state == 4) lastLow = sum;
        } else {
            if (state == 2 && fastPath) firstLow = sum & 0xFF;
            if (state > 0) --state;
        }
    }
    int skip = 0;
    if (fastPath) {
        if (state == 4) skip = ((2 * firstLow) % 256 >= lastLow + 64) ? 97 : 96;
    } else {
        skip = firstLow >= 32 ? 97 : 96;
    }
    for (int i = 0; i < skip; ++i)
        ClockSample(false);
}

void ParallelPortDevice::RoundPreviewCorners(int16_t row) {
    const int level = previewNegative_ ? 224 : 64;
    const int height = previewHeight_;
    const int width = previewWidth_;
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? height - 1 : row;
    for (int r = first; r <= last; ++r) {
        int d = -1;
        if (r >= height - 4) {
            d = height - 1 - r;
        } else if (r < 4) {
            d = r;
        }
        if (d < 0) continue;
        uint8_t* line = previewBits_ + (height - 1 - r) * width;
        auto fade = [level](uint8_t& pixel, int weight) {
            if (weight < 255) pixel = static_cast<uint8_t>(level + (pixel - level) * weight / 255);
        };
        for (int j = 0; j < 4; ++j) {
            fade(line[j], kCornerFade[d][j]);
            fade(line[width - 4 + j], kCornerFade[d][3 - j]);
        }
    }
}

}  // namespace kivoly
