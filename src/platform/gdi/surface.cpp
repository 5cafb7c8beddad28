#include "platform/gdi/surface.h"

#include <algorithm>

namespace kivoly::platform {

Surface::Surface(int32_t width, int32_t height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      format_(SurfaceFormat::TrueColour),
      pixels_(static_cast<size_t>(width_) * height_, 0) {}

Surface::Surface(int32_t width, int32_t height, std::shared_ptr<SystemPalette> palette)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      format_(SurfaceFormat::Palette8),
      palette_(palette ? std::move(palette) : std::make_shared<SystemPalette>()),
      indices_(static_cast<size_t>(width_) * height_, 0) {}

uint32_t Surface::Pixel(int32_t x, int32_t y) const {
    if (!Bounds().Contains({x, y})) return 0;
    return IsPaletted() ? palette_->Colour(IndexRow(y)[x]) : Row(y)[x];
}

std::vector<uint32_t> Surface::ToRgb() const {
    if (!IsPaletted()) return pixels_;
    std::vector<uint32_t> out(indices_.size());
    const auto& colours = palette_->Colours();
    std::transform(indices_.begin(), indices_.end(), out.begin(),
                   [&colours](uint8_t i) { return colours[i]; });
    return out;
}

void Surface::Store(int32_t x, int32_t y, uint32_t value) {
    if (!Bounds().Contains({x, y})) return;
    if (IsPaletted()) {
        IndexRow(y)[x] = static_cast<uint8_t>(value);
    } else {
        Row(y)[x] = value;
    }
}

void Surface::FillSpan(int32_t y, int32_t x0, int32_t x1, uint32_t value) {
    if (IsPaletted()) {
        std::fill(IndexRow(y) + x0, IndexRow(y) + x1, static_cast<uint8_t>(value));
    } else {
        std::fill(Row(y) + x0, Row(y) + x1, value);
    }
}

void Surface::Resize(int32_t width, int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    const int32_t keepWidth = std::min(width, width_);
    const int32_t keepHeight = std::min(height, height_);
    if (IsPaletted()) {
        std::vector<uint8_t> resized(static_cast<size_t>(width) * height, 0);
        for (int32_t y = 0; y < keepHeight; ++y) {
            std::copy_n(IndexRow(y), keepWidth, resized.data() + static_cast<size_t>(y) * width);
        }
        indices_ = std::move(resized);
    } else {
        std::vector<uint32_t> resized(static_cast<size_t>(width) * height, 0);
        for (int32_t y = 0; y < keepHeight; ++y) {
            std::copy_n(Row(y), keepWidth, resized.data() + static_cast<size_t>(y) * width);
        }
        pixels_ = std::move(resized);
    }
    width_ = width;
    height_ = height;
}

}  // namespace kivoly::platform
