// Writing a raw capture file while decoding. Every field the decoder takes from its source
// becomes one record ("KIVO", the field flags, the sample count, the samples exactly as read),
// back to back in the order the fields were acquired, so that reading the file back acquires
// the same fields in the same order. The count is written when the record is complete, so it
// always matches the samples that follow. A failed write gives the dump up (a file of that name
// stays as it was); it never fails the decode.
#include <cstring>

#include "capture/video_source.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

void PutLittleEndian(uint8_t* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

void YuvImage::CloseRawFile(bool keep) {
    if (rawFile == nullptr) return;
    FinishRawRecord();
    if (rawFile != nullptr) {
        if (keep) {
            rawDump->Commit();
        } else {
            rawDump->Discard();
        }
    }
    rawDump.reset();
    rawFile = nullptr;
    rawRecordOpen_ = false;
}

void YuvImage::AbandonRawFile() {
    rawDump.reset();
    rawFile = nullptr;
    rawRecordOpen_ = false;
}

void YuvImage::BeginRawRecord(uint16_t fieldFlags) {
    if (rawFile == nullptr) return;
    FinishRawRecord();
    if (rawFile == nullptr) return;
    uint8_t header[10];
    std::memcpy(header, "KIVO", 4);
    PutLittleEndian(header + 4, fieldFlags, 2);
    PutLittleEndian(header + 6, 0, 4);
    rawRecordHeader_ = std::ftell(rawFile);
    if (rawRecordHeader_ < 0 || std::fwrite(header, 1, sizeof header, rawFile) != sizeof header) {
        AbandonRawFile();
        return;
    }
    rawRecordBytes_ = 0;
    rawRecordOpen_ = true;
}

void YuvImage::DumpSamples(const uint8_t* samples, int count) {
    if (rawFile == nullptr || !rawRecordOpen_ || count <= 0) return;
    if (std::fwrite(samples, 1, count, rawFile) != static_cast<size_t>(count)) {
        AbandonRawFile();
        return;
    }
    rawRecordBytes_ += count;
}

void YuvImage::CopyRestOfField() {
    while (rawFile != nullptr && rawRecordOpen_ && source != nullptr && chunkBuffer != nullptr &&
           source->bytesRemaining > 0) {
        const int n = source->bytesRemaining < kChunkBytes ? source->bytesRemaining : kChunkBytes;
        source->Read(chunkBuffer, static_cast<uint16_t>(n));
        DumpSamples(chunkBuffer, n);
    }
}

void YuvImage::FinishRawRecord() {
    if (rawFile == nullptr || !rawRecordOpen_) return;
    rawRecordOpen_ = false;
    uint8_t length[4];
    PutLittleEndian(length, rawRecordBytes_, 4);
    const bool ok = std::fseek(rawFile, rawRecordHeader_ + 6, SEEK_SET) == 0 &&
                    std::fwrite(length, 1, 4, rawFile) == 4 &&
                    std::fseek(rawFile, 0, SEEK_END) == 0;
    if (!ok) AbandonRawFile();
}

}  // namespace kivoly
