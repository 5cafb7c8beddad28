// Picture files read back exactly, are recognised by content, and damaged ones refused with a
// reason.
#include "sim/picture_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace kivoly::sim {
namespace {

Picture Gradient(int width, int height) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.Pixel(x, y);
            p[0] = static_cast<uint8_t>(x * 5);
            p[1] = static_cast<uint8_t>(y * 11);
            p[2] = static_cast<uint8_t>(x * y);
        }
    }
    return picture;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A 24-bit BMP of the picture, rows padded to 4 bytes; bottom-up unless `topDown`.
std::vector<uint8_t> MakeBmp(const Picture& picture, bool topDown) {
    const int stride = (picture.width * 3 + 3) & ~3;
    std::vector<uint8_t> bmp(54 + static_cast<size_t>(stride) * picture.height, 0);
    const int height = topDown ? -picture.height : picture.height;
    // File size, pixel data offset, header size, width, height, planes, bits per pixel.
    const std::pair<int, uint32_t> fields[] = {{2, static_cast<uint32_t>(bmp.size())},
                                               {10, 54},
                                               {14, 40},
                                               {18, static_cast<uint32_t>(picture.width)},
                                               {22, static_cast<uint32_t>(height)},
                                               {26, 1},
                                               {28, 24}};
    for (const auto& [at, value] : fields) {
        for (int i = 0; i < 4; ++i)
            bmp[static_cast<size_t>(at + i)] = static_cast<uint8_t>(value >> (8 * i));
    }
    bmp[0] = 'B';
    bmp[1] = 'M';
    for (int y = 0; y < picture.height; ++y) {
        const int row = topDown ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.Pixel(x, y);
            std::reverse_copy(p, p + 3, &bmp[static_cast<size_t>(54 + row * stride + x * 3)]);
        }
    }
    return bmp;
}

// The PNG written and the BMPs of both row orders read back exactly; the PNG's bytes.
std::vector<uint8_t> ExpectReadBack(const Picture& original) {
    const std::string path = ::testing::TempDir() + "picture_file_test.png";
    std::string error;
    EXPECT_TRUE(WritePng(path, original, error)) << error;
    std::vector<Picture> read(3);
    EXPECT_TRUE(ReadPicture(path, read[0], error)) << error;
    EXPECT_TRUE(DecodePicture(MakeBmp(original, false), read[1], error)) << error;
    EXPECT_TRUE(DecodePicture(MakeBmp(original, true), read[2], error)) << error;
    for (const Picture& picture : read) {
        EXPECT_EQ(picture.width, original.width);
        EXPECT_EQ(picture.height, original.height);
        EXPECT_TRUE(picture.rgb == original.rgb);
    }
    std::ifstream file(path, std::ios::binary);
    std::vector<uint8_t> png{std::istreambuf_iterator<char>(file), {}};
    std::remove(path.c_str());
    return png;
}

// Written pictures, BMPs of both row orders and a PPM with comments and 16-bit samples read back
// exactly; damaged files are refused with a reason.
TEST(PictureFileTest, PicturesReadBackExactlyAndDamagedFilesAreRefusedWithAReason) {
    std::vector<uint8_t> ppm = Bytes("P6\n# made by hand\n2 1\n65535\n");
    for (uint8_t b : {0xff, 0xff, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0xff, 0xff})
        ppm.push_back(b);
    Picture picture;
    std::string error;
    ASSERT_TRUE(DecodePicture(ppm, picture, error)) << error;
    EXPECT_EQ(picture.rgb, (std::vector<uint8_t>{255, 128, 0, 0, 1, 255}));

    const Picture original = Gradient(37, 23);  // odd width: padded BMP rows
    const std::vector<uint8_t> png = ExpectReadBack(original);
    const std::vector<uint8_t> bmp = MakeBmp(original, false);
    std::vector<uint8_t> hugeBmp = bmp;
    hugeBmp[18] = hugeBmp[19] = hugeBmp[20] = 0xff;  // width 16 million
    std::vector<uint8_t> paletteBmp = bmp;
    paletteBmp[28] = 8;
    const std::vector<std::vector<uint8_t>> damaged = {
        {},
        {'G', 'I', 'F', '8'},
        std::vector<uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)),
        std::vector<uint8_t>(bmp.begin(), bmp.end() - 10),
        hugeBmp,
        paletteBmp,
        Bytes("P6 4 4 255\n\1\2\3"),
        Bytes("P6 99999 99999 255\n"),
        Bytes(std::string("P6 1 1 0\n\0\0\0", 12)),
    };
    for (size_t i = 0; i < damaged.size(); ++i) {
        error.clear();
        EXPECT_FALSE(DecodePicture(damaged[i], picture, error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
    }
    EXPECT_FALSE(ReadPicture(::testing::TempDir() + "no_such_picture.png", picture, error));
    EXPECT_NE(error.find("no_such_picture.png"), std::string::npos);
}

}  // namespace
}  // namespace kivoly::sim
