#include "archive_writer.h"

namespace skin {
namespace {

constexpr uint32_t kFileHeaderBytes = 14;
constexpr uint32_t kInfoHeaderBytes = 40;
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void Put16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

}  // namespace

void AppendMember(std::vector<uint8_t>& archive, const RgbImage& image) {
    const uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = stride * uint32_t(image.height);
    const uint32_t offBits = kFileHeaderBytes + kInfoHeaderBytes;
    archive.push_back('B');  // bfType
    archive.push_back('M');
    Put32(archive, offBits + imageBytes);    // bfSize
    Put32(archive, 0);                       // bfReserved1, bfReserved2
    Put32(archive, offBits);                 // bfOffBits
    Put32(archive, kInfoHeaderBytes);        // biSize
    Put32(archive, uint32_t(image.width));   // biWidth
    Put32(archive, uint32_t(image.height));  // biHeight: bottom-up
    Put16(archive, 1);                       // biPlanes
    Put16(archive, 24);                      // biBitCount
    Put32(archive, 0);                       // biCompression: none
    Put32(archive, imageBytes);              // biSizeImage
    Put32(archive, kPixelsPerMetre);         // biXPelsPerMeter
    Put32(archive, kPixelsPerMetre);         // biYPelsPerMeter
    Put32(archive, 0);                       // biClrUsed
    Put32(archive, 0);                       // biClrImportant
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* pixel = image.At(x, y);
            archive.insert(archive.end(), {pixel[2], pixel[1], pixel[0]});
        }
        archive.insert(archive.end(), stride - uint32_t(image.width) * 3, 0);
    }
    archive.insert(archive.end(), {0, 0});  // trailer
}

}  // namespace skin
