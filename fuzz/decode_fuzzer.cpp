// Feeds arbitrary bytes to the decoder as a raw capture file read by the raw file reader.
//
// The first byte chooses the settings: bits 0-1 the quality, bit 2 colour, bit 3 negative,
// bit 4 camera input, and bit 5 the tiled mode. Untiled, the rest is the file as it stands.
// Tiled, the rest is repeated into eight whole records, so that periodic input (a line of 910
// samples, say) reaches the sync search, the decoders and the interpolation.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "capture/raw_capture_file.h"
#include "capture/raw_file_source.h"
#include "decode/yuv_image.h"

namespace {

constexpr size_t kRecordSamples = 262144;
constexpr int kTiledRecords = 8;

const std::string& ScratchFile() {
    static const std::string name = "/tmp/kivoly-decode-fuzz-" + std::to_string(::getpid());
    return name;
}

std::vector<uint8_t> FileFor(const uint8_t* data, size_t size, bool tiled) {
    if (!tiled || size == 0) return std::vector<uint8_t>(data, data + size);
    std::vector<uint8_t> samples(kRecordSamples);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = data[i % size];
    std::vector<uint8_t> file;
    for (int r = 0; r < kTiledRecords; ++r)
        kivoly::AppendRawRecord(file, 0, samples);
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    const std::vector<uint8_t> file = FileFor(data + 1, size - 1, options & 0x20);
    std::FILE* out = std::fopen(ScratchFile().c_str(), "wb");
    if (out == nullptr) std::abort();
    if (!file.empty() && std::fwrite(file.data(), 1, file.size(), out) != file.size()) std::abort();
    std::fclose(out);

    KivoGrabInfo info{};
    info.Quality = options & 3;
    info.UseColor = (options >> 2) & 1;
    info.Negative = (options >> 3) & 1;
    info.CameraInput = (options >> 4) & 1;
    kivoly::RawFileSource source(ScratchFile().c_str());
    kivoly::YuvImage image(info, nullptr);
    const kivoly::DecodeResult result = image.Decode(info, nullptr, nullptr, &source);
    if (result != kivoly::DecodeOk && result != kivoly::DecodeNoVideo &&
        result != kivoly::DecodeBadSignal) {
        std::abort();
    }
    if (result == kivoly::DecodeOk && image.passesDone < 1) std::abort();
    std::remove(ScratchFile().c_str());
    return 0;
}
