// Bitmaps the library handed out, written as picture files (kivoly/tools.h).
#include "kivoly/tools.h"

#include <algorithm>
#include <cctype>

#include "output/dib_file.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"
#include "sim/picture.h"
#include "sim/picture_file.h"

namespace kivoly::tools {

namespace {
std::string Extension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    std::string extension = dot == std::string::npos ? "" : path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}
}  // namespace

bool IsPicturePath(const std::string& path) {
    const std::string extension = Extension(path);
    return extension == ".bmp" || extension == ".png";
}

bool WriteBitmapPicture(KivoHGlobal dib, const std::string& path, std::string& error) {
    // The library's own writer, for its reason when the file cannot be written whole.
    if (Extension(path) == ".bmp") return WriteDibHandle(dib, path.c_str(), &error) != 0;
    const platform::BitmapInfoHeader* header = LockDib(dib);
    if (!header || header->biBitCount != 24) {
        if (header) platform::GlobalUnlock(dib);
        error = "cannot write " + path + ": the bitmap cannot be written as PNG";
        return false;
    }
    sim::Picture picture(header->biWidth, header->biHeight);
    const int stride = DibStride(24, header->biWidth);
    const uint8_t* pixels = DibPixels(header);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = pixels + static_cast<std::size_t>(stride) * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            uint8_t* out = picture.Pixel(x, y);
            out[0] = row[3 * x + 2];
            out[1] = row[3 * x + 1];
            out[2] = row[3 * x];
        }
    }
    platform::GlobalUnlock(dib);
    return sim::WritePng(path, picture, error);
}

bool WritePreviewFrame(const KivoBitmapInfoHeader* host, const std::string& path,
                       std::string& error) {
    // The bitmap is the library's: its header record lies over the platform's (see the exports).
    const auto* header = reinterpret_cast<const platform::BitmapInfoHeader*>(host);
    const uint8_t* palette = reinterpret_cast<const uint8_t*>(header) + header->biSize;
    const uint8_t* bits = DibPixels(header);
    const int stride = DibStride(8, header->biWidth);
    sim::Picture picture(header->biWidth, header->biHeight);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row = bits + static_cast<std::size_t>(stride) * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* entry = palette + 4 * row[x];
            uint8_t* out = picture.Pixel(x, y);
            out[0] = entry[2];
            out[1] = entry[1];
            out[2] = entry[0];
        }
    }
    return sim::WritePng(path, picture, error);
}

}  // namespace kivoly::tools
