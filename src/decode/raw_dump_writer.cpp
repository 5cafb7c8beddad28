#include <cstring>

#include "capture/video_source.h"
#include "decode/internal/raw_dump_writer.h"

namespace kivoly {

namespace {

void PutLittleEndian(uint8_t* out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

bool RawDumpWriter::Open(const char* path) {
    Close(false);
    if (!file_.Open(path)) return false;
    stream_ = file_.Stream();
    return true;
}

void RawDumpWriter::Fail() {
    file_.Discard();
    stream_ = nullptr;
    recordOpen_ = false;
}

void RawDumpWriter::Close(bool keep) {
    if (stream_ == nullptr) return;
    FinishRecord();
    if (stream_ != nullptr && keep) {
        file_.Commit();
    } else {
        file_.Discard();
    }
    stream_ = nullptr;
    recordOpen_ = false;
}

void RawDumpWriter::BeginRecord(uint16_t fieldFlags) {
    if (stream_ == nullptr) return;
    FinishRecord();
    if (stream_ == nullptr) return;
    uint8_t header[10];
    std::memcpy(header, "KIVO", 4);
    PutLittleEndian(header + 4, fieldFlags, 2);
    PutLittleEndian(header + 6, 0, 4);
    recordHeader_ = std::ftell(stream_);
    if (recordHeader_ < 0 || std::fwrite(header, 1, sizeof header, stream_) != sizeof header) {
        Fail();
        return;
    }
    recordBytes_ = 0;
    recordOpen_ = true;
}

void RawDumpWriter::Write(const uint8_t* samples, int count) {
    if (stream_ == nullptr || !recordOpen_ || count <= 0) return;
    if (std::fwrite(samples, 1, count, stream_) != static_cast<size_t>(count)) {
        Fail();
        return;
    }
    recordBytes_ += count;
}

void RawDumpWriter::CopyRestOfField(VideoSource& source, uint8_t* buffer, int size) {
    while (stream_ != nullptr && recordOpen_ && buffer != nullptr && source.BytesRemaining() > 0) {
        const int n = source.BytesRemaining() < size ? source.BytesRemaining() : size;
        source.Read(buffer, static_cast<uint16_t>(n));
        Write(buffer, n);
    }
}

void RawDumpWriter::FinishRecord() {
    if (stream_ == nullptr || !recordOpen_) return;
    recordOpen_ = false;
    uint8_t length[4];
    PutLittleEndian(length, recordBytes_, 4);
    const bool ok = std::fseek(stream_, recordHeader_ + 6, SEEK_SET) == 0 &&
                    std::fwrite(length, 1, 4, stream_) == 4 &&
                    std::fseek(stream_, 0, SEEK_END) == 0;
    if (!ok) Fail();
}

}  // namespace kivoly
