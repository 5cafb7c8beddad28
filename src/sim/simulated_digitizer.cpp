#include "sim/simulated_digitizer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "sim/internal/preview_scan.h"
#include "sim/ntsc_timing.h"

namespace kivoly::sim {

namespace {
constexpr uint8_t kHeader[5] = {0xFF, 0x20, 0x02, 0xFF, 0x9F};
// The CRC-32 of the device's own configuration stream.
constexpr uint32_t kImageCrc = 0x8688B29Cu;
constexpr int64_t kDoneLead = 4096;
constexpr uint8_t kFloating = 0x7F;  // an empty connector: pulled-up inputs, bit 7 inverted

constexpr std::array<uint32_t, 256> MakeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[i] = c;
    }
    return table;
}
constexpr std::array<uint32_t, 256> kCrcTable = MakeCrcTable();

// 4 fsc = 315/22 MHz.
int64_t SampleAt(int64_t us) {
    return us * 315 / 22;
}
}  // namespace

SimulatedDigitizer::SimulatedDigitizer(VideoSignal* signal)
    : signal_(signal), memory_(kMemorySamples, 0) {}

void SimulatedDigitizer::PowerDown() {
    powered_ = false;
    configured_ = false;
    capture_ = Capture::Idle;
}

void SimulatedDigitizer::Lines(uint8_t data, uint8_t control, int64_t nowUs) {
    const uint8_t oldData = data_;
    const uint8_t oldControl = control_;
    data_ = data;
    control_ = control;
    if (faults_.noDevice) return;
    auto fell = [](uint8_t before, uint8_t after, uint8_t bit) {
        return (before & bit) && !(after & bit);
    };
    auto rose = [](uint8_t before, uint8_t after, uint8_t bit) {
        return !(before & bit) && (after & bit);
    };
    if (rose(oldData, data, 0x04)) ++resets_;

    if (control & 0x08) {  // C3 = 1: no power
        PowerDown();
        return;
    }
    if (!powered_) {
        powered_ = true;
        configured_ = false;
    }
    if (!(data & 0x04)) {  // D2 low: configuration reset
        configured_ = false;
        capture_ = Capture::Idle;
        bitsIn_ = 0;
        crc_ = 0xFFFFFFFFu;
        byte_ = 0;
        lastBit_ = 0;
        echo_ = 0;
        headerGood_ = true;
        return;
    }
    if (!configured_) {
        if (rose(oldControl, control, 0x02)) Clock((control >> 2) & 1);
        return;
    }

    const bool command = data & 0x80;
    if (rose(oldControl, control, 0x02)) nextField_ = 0;
    if (fell(oldControl, control, 0x02) && capture_ == Capture::WaitingForSync && signal_ &&
        !faults_.noVideo) {
        StartAt((SampleAt(nowUs) + kSamplesPerLine - 1) / kSamplesPerLine * kSamplesPerLine, false);
    }
    if (command && fell(oldControl, control, 0x04)) triggerArmed_ = true;
    if (command && triggerArmed_ && rose(oldControl, control, 0x04)) {
        triggerArmed_ = false;
        Trigger(nowUs);
    }
    if (fell(oldData, data, 0x40)) {
        if (command) {
            readAddress_ = 0;
        } else {
            latchedLow_ = Memory()[readAddress_];
            readSinceStart_ = true;
            readAddress_ = (readAddress_ + 1) % kMemorySamples;
        }
    }
}

void SimulatedDigitizer::Clock(int bit) {
    if (bitsIn_ >= kImageBits) return;
    echo_ = lastBit_;
    lastBit_ = bit;
    byte_ = static_cast<uint8_t>((byte_ << 1) | bit);
    if (++bitsIn_ % 8 == 0) {
        const uint32_t index = bitsIn_ / 8 - 1;
        if (index < sizeof kHeader && byte_ != kHeader[index]) headerGood_ = false;
        crc_ = kCrcTable[(crc_ ^ byte_) & 0xFF] ^ (crc_ >> 8);
    }
    if (bitsIn_ == kImageBits) configured_ = headerGood_ && (crc_ ^ 0xFFFFFFFFu) == kImageCrc;
}

void SimulatedDigitizer::Trigger(int64_t nowUs) {
    // A capture that nobody has read from yet is kept.
    if (capture_ == Capture::Started && !readSinceStart_) return;
    samplesPerLine_ = (data_ & 0x20 ? 908 : 910) / (data_ & 0x02 ? 2 : 1);
    inputOpen_ = faults_.unterminated && !(data_ & 0x01);
    const bool syncWait = control_ & 0x02;
    if (!signal_ || faults_.noVideo || (syncWait && faults_.unstableSync && random_() % 2 == 0)) {
        capture_ = Capture::WaitingForSync;
        return;
    }
    const int64_t now = SampleAt(nowUs);
    if (!syncWait) {
        StartAt(NextLineStart(now), false);
        return;
    }
    // The next field of the wanted place in the colour sequence whose sync is still to come.
    int64_t field = now / kSamplesPerField + 1;
    field += ((nextField_ - field) % 4 + 4) % 4;
    lastField_ = nextField_;
    nextField_ = (nextField_ + 1) % 4;
    StartAt(signal_->CaptureStart(field, samplesPerLine_), true);
}

double SimulatedDigitizer::NextLineStart(int64_t now) {
    return static_cast<double>((now + kSamplesPerLine - 1) / kSamplesPerLine * kSamplesPerLine);
}

void SimulatedDigitizer::StartAt(double startTime, bool synced) {
    capture_ = Capture::Started;
    startTime_ = startTime;
    readSinceStart_ = false;
    lastNoSync_ = !synced;
    lastTimeBaseError_ = !synced && faults_.unstableSync && random_() % 4 == 0;
    memoryStale_ = true;
    ++capturesStarted_;
}

bool SimulatedDigitizer::Done(int64_t nowUs) const {
    const double step = static_cast<double>(kSamplesPerLine) / samplesPerLine_;
    return capture_ == Capture::Started &&
           static_cast<double>(SampleAt(nowUs)) >= startTime_ + kDoneLead * step;
}

const std::vector<uint8_t>& SimulatedDigitizer::Memory() {
    if (memoryStale_) FillMemory();
    return memory_;
}

void SimulatedDigitizer::FillMemory() {
    memoryStale_ = false;
    if (!signal_) return;
    SampleCapture();
    if (!inputOpen_) return;
    for (uint8_t& sample : memory_) {
        const int open = 2 * sample - static_cast<int>(kSyncTipLevel);
        sample = static_cast<uint8_t>(std::clamp(open, 0, 255));
    }
}

void SimulatedDigitizer::SampleCapture() {
    if (samplesPerLine_ > 455) {
        signal_->Sample(startTime_, samplesPerLine_, memory_.data(), memory_.size());
        return;
    }
    // Half rate keeps every second line as well, so that the preview's 119 lines span the
    // field; each kept line is stored whole, from the front porch of the first line that
    // starts with the capture, as the preview reads it (preview_scan.h).
    const double first = std::ceil(startTime_ / kSamplesPerLine) * kSamplesPerLine;
    std::vector<uint8_t> normal(kScanSamples);
    std::vector<uint8_t> stored(samplesPerLine_);
    for (std::size_t at = 0, line = 0; at < memory_.size(); at += samplesPerLine_, ++line) {
        const double lineStart = first + static_cast<double>(2 * line * kSamplesPerLine);
        signal_->Sample(lineStart + kScanFirst, kSamplesPerLine, normal.data(), normal.size());
        ScanPreviewLine(normal, stored);
        const std::size_t count = std::min(stored.size(), memory_.size() - at);
        std::copy_n(stored.begin(), count, memory_.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

uint8_t SimulatedDigitizer::ReadoutStatus() {
    uint8_t status = faults_.alarm ? 0x40 : 0;
    if (data_ & 0x40) {
        status |= Memory()[readAddress_] & 0xB8;
    } else {
        status |= static_cast<uint8_t>(((latchedLow_ & 0x40) << 1) | ((latchedLow_ & 0x07) << 3));
    }
    if (faults_.noisyLink && random_() % 512 == 0) {
        constexpr uint8_t kSampleLines[4] = {0x80, 0x20, 0x10, 0x08};
        status ^= kSampleLines[random_() % 4];
    }
    return status;
}

uint8_t SimulatedDigitizer::Status(int64_t nowUs) {
    if (faults_.noDevice) return kFloating;
    if (!powered_) return 0;
    if (!configured_) return static_cast<uint8_t>((faults_.badEcho ? !echo_ : echo_) << 3);
    if (!(data_ & 0x80)) return ReadoutStatus();

    const bool noSignal = !signal_ || faults_.noVideo;
    uint8_t status = Done(nowUs) ? 0x40 : 0;
    if (data_ & 0x40) {
        if (data_ & 0x10) {
            status |= 0x80;
        } else {
            status |= 0x20;
            if (!(control_ & 0x01) && faults_.lowBattery) status |= 0x10;
        }
        if (noSignal) status |= 0x08;
    } else {
        if (lastTimeBaseError_) status |= 0x20;
        if (faults_.lowBattery) status |= 0x10;
        if (lastNoSync_ || noSignal) status |= 0x08;
    }
    return status;
}

}  // namespace kivoly::sim
