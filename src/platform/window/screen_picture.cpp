#include "platform/window/screen_picture.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/window/display.h"
#include "platform/window/window.h"

namespace kivoly::platform {

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

void NoFlush(png_structp) {}

}  // namespace

bool SaveSurfacePng(const Surface& surface, const char* path) {
    if (!path || surface.Width() <= 0 || surface.Height() <= 0) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<uint32_t> pixels = surface.ToRgb();
    std::vector<png_byte> row(static_cast<size_t>(surface.Width()) * 3);
    std::vector<uint8_t> bytes;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &bytes, AppendBytes, NoFlush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(surface.Width()),
                 static_cast<png_uint_32>(surface.Height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < surface.Height(); ++y) {
        const uint32_t* source = pixels.data() + static_cast<size_t>(y) * surface.Width();
        for (int x = 0; x < surface.Width(); ++x) {
            row[3 * x] = static_cast<png_byte>(source[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(source[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    AtomicFile file;
    return file.Open(path) && file.Write(bytes.data(), bytes.size()) && file.Commit();
}

bool SaveScreenPng(const char* path) {
    return SaveSurfacePng(Screen(), path);
}

bool SaveWindowPng(KivoHWnd window, const char* path) {
    Rect rect;
    if (!GetWindowRect(window, rect)) return false;
    const Surface& screen = Screen();
    rect = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, screen.Width()),
            std::min(rect.bottom, screen.Height())};
    if (rect.Width() <= 0 || rect.Height() <= 0) return false;
    Surface part(rect.Width(), rect.Height());
    for (int y = 0; y < rect.Height(); ++y) {
        for (int x = 0; x < rect.Width(); ++x) {
            part.Store(x, y, screen.Pixel(rect.left + x, rect.top + y));
        }
    }
    return SaveSurfacePng(part, path);
}

}  // namespace kivoly::platform
