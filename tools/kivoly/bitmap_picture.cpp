#include "bitmap_picture.h"

#include <algorithm>
#include <cctype>

#include "output/dib_file.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "sim/picture.h"
#include "sim/picture_file.h"

namespace kivoly::cli {

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

}  // namespace kivoly::cli
