#include "rgb_image.h"

#include <png.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace skin {
namespace {

void RunConverter(const std::string& converter, const std::string& svgPath,
                  const std::string& pngPath) {
    std::vector<std::string> args{converter, "--format=png", "--output=" + pngPath, svgPath};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawnp(&child, converter.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        throw std::runtime_error("cannot run " + converter);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(converter + " failed on " + svgPath);
    }
}

}  // namespace

RgbImage RgbImage::Crop(int x, int y, int cropWidth, int cropHeight) const {
    RgbImage out{cropWidth, cropHeight,
                 std::vector<uint8_t>(std::size_t(cropWidth) * cropHeight * 3)};
    for (int row = 0; row < cropHeight; ++row) {
        const int sourceY = std::clamp(y + row, 0, height - 1);
        for (int column = 0; column < cropWidth; ++column) {
            const int sourceX = std::clamp(x + column, 0, width - 1);
            std::copy_n(At(sourceX, sourceY), 3,
                        &out.rgb[(std::size_t(row) * cropWidth + column) * 3]);
        }
    }
    return out;
}

RgbImage ReadPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        throw std::runtime_error("cannot read " + path + ": " + image.message);
    }
    image.format = PNG_FORMAT_RGB;
    RgbImage out{int(image.width), int(image.height), {}};
    out.rgb.resize(PNG_IMAGE_SIZE(image));
    // Transparent parts are composed on black.
    const png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, out.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        throw std::runtime_error("cannot decode " + path + ": " + image.message);
    }
    return out;
}

RgbImage Rasterise(const std::string& converter, const std::string& svg, const std::string& stem) {
    const std::string svgPath = stem + ".svg";
    const std::string pngPath = stem + ".png";
    std::ofstream(svgPath, std::ios::binary) << svg;
    RunConverter(converter, svgPath, pngPath);
    return ReadPng(pngPath);
}

}  // namespace skin
