// Picture files read back exactly, are recognised by content, and damaged ones refused with a
// reason.
#include "sim/picture_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "sim/colour_bars.h"

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

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

void ExpectSame(const Picture& a, const Picture& b) {
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.height, b.height);
    EXPECT_TRUE(a.rgb == b.rgb);
}

// A 24-bit BMP of the picture, rows padded to 4 bytes; bottom-up unless `topDown`.
std::vector<uint8_t> MakeBmp(const Picture& picture, bool topDown) {
    const uint32_t stride = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> bmp(54 + dataSize, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);  // pixel data offset
    put32(14, 40);  // information header size
    put32(18, static_cast<uint32_t>(picture.width));
    put32(22, static_cast<uint32_t>(topDown ? -picture.height : picture.height));
    bmp[26] = 1;   // planes
    bmp[28] = 24;  // bits per pixel
    for (int y = 0; y < picture.height; ++y) {
        const int fileRow = topDown ? y : picture.height - 1 - y;
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.Pixel(x, y);
            uint8_t* out = &bmp[54 + fileRow * stride + static_cast<uint32_t>(x) * 3];
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
    }
    return bmp;
}

TEST(PictureFileTest, WrittenPicturesReadBackExactly) {
    const Picture original = Gradient(37, 23);  // odd width: padded BMP rows
    const std::string png = ::testing::TempDir() + "picture_file_test.png";
    std::string error;
    ASSERT_TRUE(WritePng(png, original, error)) << error;
    Picture read;
    ASSERT_TRUE(ReadPicture(png, read, error)) << error;
    ExpectSame(read, original);
    std::remove(png.c_str());
    for (bool topDown : {false, true}) {
        Picture read;
        ASSERT_TRUE(DecodePicture(MakeBmp(original, topDown), read, error)) << error;
        ExpectSame(read, original);
    }
}

TEST(PictureFileTest, PpmWithCommentsAndSixteenBitSamples) {
    std::vector<uint8_t> bytes = Bytes("P6\n# made by hand\n2 1\n65535\n");
    for (uint8_t b : {0xff, 0xff, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x01, 0xff, 0xff})
        bytes.push_back(b);
    Picture picture;
    std::string error;
    ASSERT_TRUE(DecodePicture(bytes, picture, error)) << error;
    EXPECT_EQ(picture.rgb, (std::vector<uint8_t>{255, 128, 0, 0, 1, 255}));
}

TEST(PictureFileTest, DamagedFilesAreRefusedWithAReason) {
    const Picture original = Gradient(16, 8);
    const std::string path = ::testing::TempDir() + "picture_file_damaged.png";
    std::string error;
    ASSERT_TRUE(WritePng(path, original, error));
    const std::vector<uint8_t> png = ReadBytes(path);
    std::remove(path.c_str());
    std::vector<uint8_t> bmp = MakeBmp(original, false);

    std::vector<std::vector<uint8_t>> damaged = {
        {},
        {'G', 'I', 'F', '8'},
        std::vector<uint8_t>(png.begin(), png.begin() + static_cast<long>(png.size() / 2)),
        std::vector<uint8_t>(bmp.begin(), bmp.end() - 10),
        Bytes("P6 4 4 255\n\1\2\3"),
        Bytes("P6 99999 99999 255\n"),
        Bytes(std::string("P6 1 1 0\n\0\0\0", 12)),
    };
    std::vector<uint8_t> hugeBmp = bmp;
    hugeBmp[18] = hugeBmp[19] = hugeBmp[20] = 0xff;  // width 16 million
    hugeBmp[21] = 0;
    damaged.push_back(hugeBmp);
    std::vector<uint8_t> paletteBmp = bmp;
    paletteBmp[28] = 8;
    damaged.push_back(paletteBmp);
    for (size_t i = 0; i < damaged.size(); ++i) {
        Picture picture;
        error.clear();
        EXPECT_FALSE(DecodePicture(damaged[i], picture, error)) << "case " << i;
        EXPECT_FALSE(error.empty()) << "case " << i;
    }
    Picture picture;
    EXPECT_FALSE(ReadPicture(::testing::TempDir() + "no_such_picture.png", picture, error));
    EXPECT_NE(error.find("no_such_picture.png"), std::string::npos);
}

TEST(PictureFileTest, ColourBarsAreSeventyFivePercentBars) {
    const Picture bars = ColourBars(700, 480);
    const uint8_t* yellow = bars.Pixel(150, 100);
    EXPECT_EQ(std::vector<uint8_t>(yellow, yellow + 3), (std::vector<uint8_t>{191, 191, 0}));
    const uint8_t* blue = bars.Pixel(699, 100);
    EXPECT_EQ(std::vector<uint8_t>(blue, blue + 3), (std::vector<uint8_t>{0, 0, 191}));
    const uint8_t* white = bars.Pixel(200, 470);
    EXPECT_EQ(white[0], 255);
}

}  // namespace
}  // namespace kivoly::sim
