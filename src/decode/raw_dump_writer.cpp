#include <cstring>

#include "capture/video_source.h"
#include "decode/raw_dump_writer.h"

namespace kivoly {

namespace {

void PutLittleEndian(uint8_t* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool RawDumpWriter::Open(const char* path) {
    Close();
    file_ = std::fopen(path, "w+b");
    return file_ != nullptr;
}

void RawDumpWriter::Fail() {
    std::fclose(file_);
    file_ = nullptr;
    recordOpen_ = false;
}

void RawDumpWriter::Close() {
    if (file_ == nullptr) return;
    FinishRecord();
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    recordOpen_ = false;
}

void RawDumpWriter::BeginRecord(uint16_t fieldFlags) {
    if (file_ == nullptr) return;
    FinishRecord();
    if (file_ == nullptr) return;
    uint8_t header[10];
    std::memcpy(header, "KIVO", 4);
    PutLittleEndian(header + 4, fieldFlags, 2);
    PutLittleEndian(header + 6, 0, 4);
    recordHeader_ = std::ftell(file_);
    if (recordHeader_ < 0 || std::fwrite(header, 1, sizeof header, file_) != sizeof header) {
        Fail();
        return;
    }
    recordBytes_ = 0;
    recordOpen_ = true;
}

void RawDumpWriter::Write(const uint8_t* samples, int count) {
    if (file_ == nullptr || !recordOpen_ || count <= 0) return;
    if (std::fwrite(samples, 1, count, file_) != static_cast<size_t>(count)) {
        Fail();
        return;
    }
    recordBytes_ += count;
}

void RawDumpWriter::CopyRestOfField(VideoSource& source, uint8_t* buffer, int size) {
    while (file_ != nullptr && recordOpen_ && buffer != nullptr && source.bytesRemaining > 0) {
        const int n = source.bytesRemaining < size ? source.bytesRemaining : size;
        source.Read(buffer, static_cast<uint16_t>(n));
        Write(buffer, n);
    }
}

void RawDumpWriter::FinishRecord() {
    if (file_ == nullptr || !recordOpen_) return;
    recordOpen_ = false;
    uint8_t length[4];
    PutLittleEndian(length, recordBytes_, 4);
    const bool ok = std::fseek(file_, recordHeader_ + 6, SEEK_SET) == 0 &&
                    std::fwrite(length, 1, 4, file_) == 4 && std::fseek(file_, 0, SEEK_END) == 0;
    if (!ok) Fail();
}

}  // namespace kivoly
