#include "sim/picture_file.h"

#include <png.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/whole_file.h"

namespace kivoly::sim {

namespace {

bool SizeAcceptable(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= 65535 && height <= 65535 &&
           width * height <= kMaxPicturePixels;
}

// --- PNG -----------------------------------------------------------------------------------

struct PngSource {
    std::span<const uint8_t> bytes;
    size_t position = 0;
};

void PngRead(png_structp png, png_bytep data, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->bytes.size() - source->position) png_error(png, "truncated");
    std::memcpy(data, source->bytes.data() + source->position, length);
    source->position += length;
}

void PngWarning(png_structp, png_const_charp) {}

// What the libpng run fills in. It lives in the caller's frame, so that libpng's longjmp on an
// error skips no destructor: the frame that calls setjmp holds only plain values.
struct PngDecodeState {
    PngSource source;
    Picture picture;
    std::vector<png_bytep> rows;
    const char* failure = "damaged PNG data";
    char detail[128] = {};  // libpng's own words for what it found damaged
};

// Keeps libpng's message for the caller's error instead of letting libpng print it.
[[noreturn]] void PngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngDecodeState*>(png_get_error_ptr(png));
    std::snprintf(state->detail, sizeof state->detail, "%s", message ? message : "");
    png_longjmp(png, 1);
}

bool RunPngDecoder(PngDecodeState* state) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, state, PngError, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        state->failure = "out of memory";
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &state->source, PngRead);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!SizeAcceptable(width, height)) {
        state->failure = "picture too large";
        png_error(png, "size");
    }
    png_set_expand(png);  // palette and low bit depths to 8 bits, tRNS to alpha
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 3) {
        state->failure = "unsupported PNG layout";
        png_error(png, "layout");
    }
    state->picture = Picture(static_cast<int>(width), static_cast<int>(height));
    state->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) {
        state->rows[y] = state->picture.Pixel(0, static_cast<int>(y));
    }
    png_read_image(png, state->rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool DecodePng(std::span<const uint8_t> bytes, Picture& picture, std::string& error) {
    PngDecodeState state;
    state.source.bytes = bytes;
    if (!RunPngDecoder(&state)) {
        error = state.failure;
        if (error == "damaged PNG data" && state.detail[0]) {
            error += std::string(": ") + state.detail;
        }
        return false;
    }
    picture = std::move(state.picture);
    return true;
}

// --- BMP -----------------------------------------------------------------------------------

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool DecodeBmp(std::span<const uint8_t> bytes, Picture& picture, std::string& error) {
    if (bytes.size() < 54) {
        error = "truncated BMP header";
        return false;
    }
    const uint8_t* b = bytes.data();
    const uint32_t dataOffset = Le32(b + 10);
    const uint32_t headerSize = Le32(b + 14);
    const int64_t width = static_cast<int32_t>(Le32(b + 18));
    const int64_t rawHeight = static_cast<int32_t>(Le32(b + 22));
    const uint16_t bitCount = Le16(b + 28);
    const uint32_t compression = Le32(b + 30);
    if (headerSize < 40 || bitCount != 24 || compression != 0) {
        error = "only uncompressed 24-bit BMP files are read";
        return false;
    }
    const bool topDown = rawHeight < 0;
    const int64_t height = topDown ? -rawHeight : rawHeight;
    if (!SizeAcceptable(width, height)) {
        error = "bad BMP size";
        return false;
    }
    const uint64_t stride = (static_cast<uint64_t>(width) * 3 + 3) & ~3ULL;
    if (dataOffset > bytes.size() ||
        stride * static_cast<uint64_t>(height) > bytes.size() - dataOffset) {
        error = "truncated BMP pixel data";
        return false;
    }
    Picture result(static_cast<int>(width), static_cast<int>(height));
    for (int64_t y = 0; y < height; ++y) {
        const int64_t fileRow = topDown ? y : height - 1 - y;
        const uint8_t* row = b + dataOffset + static_cast<uint64_t>(fileRow) * stride;
        uint8_t* out = result.Pixel(0, static_cast<int>(y));
        for (int64_t x = 0; x < width; ++x) {
            out[x * 3] = row[x * 3 + 2];  // BMP keeps blue, green, red
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
    }
    picture = std::move(result);
    return true;
}

// --- PPM -----------------------------------------------------------------------------------

// Reads the next header number after whitespace and comments; -1 when there is none.
int64_t PpmNumber(std::span<const uint8_t> bytes, size_t& at) {
    while (at < bytes.size()) {
        if (bytes[at] == '#') {
            while (at < bytes.size() && bytes[at] != '\n')
                ++at;
        } else if (std::isspace(bytes[at])) {
            ++at;
        } else {
            break;
        }
    }
    int64_t value = -1;
    while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9') {
        value = (value < 0 ? 0 : value * 10) + (bytes[at] - '0');
        if (value > 1000000000) return -1;
        ++at;
    }
    return value;
}

bool DecodePpm(std::span<const uint8_t> bytes, Picture& picture, std::string& error) {
    size_t at = 2;
    const int64_t width = PpmNumber(bytes, at);
    const int64_t height = PpmNumber(bytes, at);
    const int64_t maxValue = PpmNumber(bytes, at);
    if (width < 0 || height < 0 || maxValue < 1 || maxValue > 65535 || at >= bytes.size() ||
        !std::isspace(bytes[at])) {
        error = "bad PPM header";
        return false;
    }
    ++at;  // the single whitespace before the samples
    if (!SizeAcceptable(width, height)) {
        error = "bad PPM size";
        return false;
    }
    const uint64_t sampleBytes = maxValue > 255 ? 2 : 1;
    const uint64_t needed =
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 3 * sampleBytes;
    if (needed > bytes.size() - at) {
        error = "truncated PPM pixel data";
        return false;
    }
    Picture result(static_cast<int>(width), static_cast<int>(height));
    const uint8_t* in = bytes.data() + at;
    for (size_t i = 0; i < result.rgb.size(); ++i) {
        const uint32_t v = sampleBytes == 2 ? (in[2 * i] << 8 | in[2 * i + 1]) : in[i];
        result.rgb[i] = static_cast<uint8_t>(
            (std::min<uint32_t>(v, static_cast<uint32_t>(maxValue)) * 255 + maxValue / 2) /
            maxValue);
    }
    picture = std::move(result);
    return true;
}

}  // namespace

bool DecodePicture(std::span<const uint8_t> bytes, Picture& picture, std::string& error) {
    static constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), kPngSignature, 8) == 0) {
        return DecodePng(bytes, picture, error);
    }
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') {
        return DecodeBmp(bytes, picture, error);
    }
    if (bytes.size() >= 2 && bytes[0] == 'P' && bytes[1] == '6') {
        return DecodePpm(bytes, picture, error);
    }
    error = "not a PNG, BMP or binary PPM picture";
    return false;
}

bool ReadPicture(const std::string& path, Picture& picture, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!platform::ReadWholeFile(path, bytes, error)) return false;
    if (!DecodePicture(bytes, picture, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

namespace {
void PngAppend(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void PngFlush(png_structp) {}

// The PNG file's bytes; false when libpng gives up (it reports through a long jump, so nothing
// here owns anything that would need destroying).
bool EncodePng(const Picture& picture, std::vector<uint8_t>& bytes) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, PngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, PngAppend, PngFlush);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width),
                 static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        png_write_row(png, const_cast<png_bytep>(picture.Pixel(0, y)));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

// Writes `bytes` as the whole of `path`: the old file is replaced only by a complete new one.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes,
                    std::string& error) {
    platform::AtomicFile file;
    if (file.Open(path) && file.Write(bytes.data(), bytes.size()) && file.Commit()) return true;
    error = file.Error();
    return false;
}
}  // namespace

bool WritePng(const std::string& path, const Picture& picture, std::string& error) {
    std::vector<uint8_t> bytes;
    if (picture.Empty() || !EncodePng(picture, bytes)) {
        error = "cannot write " + path + ": the picture cannot be encoded";
        return false;
    }
    return WriteWholeFile(path, bytes, error);
}

}  // namespace kivoly::sim
