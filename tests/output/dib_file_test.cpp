#include "output/dib_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;
using platform::GlobalHandle;

class DibFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("kivoly_dib_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    std::string WriteBytes(const char* name, const std::vector<uint8_t>& bytes) const {
        const std::string path = Path(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    static std::vector<uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

// A 24-bit bitmap whose pixels are a function of their place.
GlobalHandle PatternDib(int width, int height) {
    GlobalHandle handle = CreateDib(24, width, height);
    auto* header = LockDib(handle);
    uint8_t* pixels = DibPixels(header);
    const int stride = DibStride(24, width);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 3 * width; ++x)
            pixels[y * stride + x] = uint8_t(x * 7 + y * 13);
    }
    platform::GlobalUnlock(handle);
    return handle;
}

void Append16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Append32(std::vector<uint8_t>& out, uint32_t v) {
    Append16(out, uint16_t(v));
    Append16(out, uint16_t(v >> 16));
}

TEST_F(DibFileTest, A640By480PictureGivesTheStandardFile) {
    GlobalHandle dib = PatternDib(640, 480);
    auto* header = LockDib(dib);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSizeImage, 640u * 3 * 480);
    ASSERT_EQ(WriteDibFile(header, Path("a.bmp").c_str()), 1);
    const std::vector<uint8_t> file = ReadBytes(Path("a.bmp"));
    ASSERT_EQ(file.size(), 921654u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    uint32_t size, offset;
    std::memcpy(&size, &file[2], 4);
    std::memcpy(&offset, &file[10], 4);
    EXPECT_EQ(size, 921654u);
    EXPECT_EQ(offset, 54u);
    // The bottom row comes first.
    EXPECT_EQ(0, std::memcmp(&file[54], DibPixels(header), 1920));

    GlobalHandle back = ReadDibFile(Path("a.bmp").c_str());
    auto* read = LockDib(back);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->biWidth, 640);
    EXPECT_EQ(read->biHeight, 480);
    EXPECT_EQ(0, std::memcmp(DibPixels(read), DibPixels(header), header->biSizeImage));
    platform::GlobalUnlock(back);
    platform::GlobalFree(back);
    platform::GlobalUnlock(dib);
    platform::GlobalFree(dib);
}

TEST_F(DibFileTest, WideRowsNeedNoPaddingAndOddRowsArePadded) {
    EXPECT_EQ(DibStride(24, 1500), 4500);
    EXPECT_EQ(DibStride(24, 3), 12);
    EXPECT_EQ(DibStride(1, 33), 8);
    EXPECT_EQ(DibStride(4, 16), 8);
}

TEST_F(DibFileTest, SmallDepthsKeepTheirColourTableInTheFile) {
    for (int bits : {1, 4, 8}) {
        GlobalHandle dib = CreateDib(bits, 5, 3);
        auto* header = LockDib(dib);
        ASSERT_NE(header, nullptr);
        DibPixels(header)[0] = 0x81;
        ASSERT_EQ(WriteDibFile(header, Path("small.bmp").c_str()), 1);
        GlobalHandle back = ReadDibFile(Path("small.bmp").c_str());
        auto* read = LockDib(back);
        ASSERT_NE(read, nullptr) << bits;
        EXPECT_EQ(DibColours(*read), 1 << bits);
        EXPECT_EQ(DibPixels(read)[0], 0x81) << bits;
        EXPECT_EQ(0, std::memcmp(reinterpret_cast<uint8_t*>(read) + 40,
                                 reinterpret_cast<uint8_t*>(header) + 40, 4 << bits));
        platform::GlobalFree(back);
        platform::GlobalFree(dib);
    }
}

TEST_F(DibFileTest, WritingRefusesNullAndMissingFolders) {
    GlobalHandle dib = PatternDib(4, 4);
    auto* header = LockDib(dib);
    EXPECT_EQ(WriteDibFile(nullptr, Path("x.bmp").c_str()), 0);
    EXPECT_EQ(WriteDibFile(header, Path("missing/x.bmp").c_str()), 0);
    platform::GlobalFree(dib);
}

// A 2 x 2 bitmap of 8 bits (two colours) after the given header bytes.
std::vector<uint8_t> TwoColourPixels() {
    return {0, 1, 0, 0, 1, 0, 0, 0};
}

TEST_F(DibFileTest, ReadsWithoutFileHeaderWithOldHeaderAndWithoutImageSize) {
    // Information header only, biSizeImage 0, biClrUsed 2.
    std::vector<uint8_t> bare;
    Append32(bare, 40);
    Append32(bare, 2);
    Append32(bare, 2);
    Append16(bare, 1);
    Append16(bare, 8);
    for (int i = 0; i < 3; ++i)
        Append32(bare, 0);  // compression, size image, x ppm
    Append32(bare, 0);      // y ppm
    Append32(bare, 2);      // colours used
    Append32(bare, 0);
    for (uint8_t v : {10, 20, 30, 0, 40, 50, 60, 0})
        bare.push_back(v);
    for (uint8_t v : TwoColourPixels())
        bare.push_back(v);
    GlobalHandle dib = ReadDibFile(WriteBytes("bare.bmp", bare).c_str());
    auto* header = LockDib(dib);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSizeImage, 8u);
    EXPECT_EQ(DibPixels(header)[1], 1);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(header)[40 + 4], 40);
    platform::GlobalFree(dib);

    // "BM" and the old 12-byte header with 3-byte colours.
    std::vector<uint8_t> old = {'B', 'M'};
    Append32(old, 14 + 12 + 6 + 8);
    Append32(old, 0);
    Append32(old, 14 + 12 + 6);
    Append32(old, 12);
    Append16(old, 2);
    Append16(old, 2);
    Append16(old, 1);
    Append16(old, 1);
    for (uint8_t v : {1, 2, 3, 4, 5, 6})
        old.push_back(v);
    for (uint8_t v : {0x40, 0, 0, 0, 0x80, 0, 0, 0})
        old.push_back(v);
    dib = ReadDibFile(WriteBytes("old.bmp", old).c_str());
    header = LockDib(dib);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biBitCount, 1);
    EXPECT_EQ(header->biClrUsed, 2u);
    const uint8_t* table = reinterpret_cast<uint8_t*>(header) + 40;
    EXPECT_EQ(std::vector<uint8_t>(table, table + 8),
              (std::vector<uint8_t>{1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(DibPixels(header)[4], 0x80);
    platform::GlobalFree(dib);
}

TEST_F(DibFileTest, BadFilesGiveNull) {
    GlobalHandle dib = PatternDib(8, 8);
    auto* header = LockDib(dib);
    ASSERT_EQ(WriteDibFile(header, Path("good.bmp").c_str()), 1);
    platform::GlobalFree(dib);
    const std::vector<uint8_t> good = ReadBytes(Path("good.bmp"));

    auto patched = [&](std::size_t at, uint32_t value, int bytes) {
        std::vector<uint8_t> copy = good;
        for (int i = 0; i < bytes; ++i)
            copy[at + i] = uint8_t(value >> (8 * i));
        return ReadDibFile(WriteBytes("bad.bmp", copy).c_str());
    };
    EXPECT_EQ(patched(14, 39, 4), nullptr);  // unknown header size
    EXPECT_EQ(patched(14, 1000, 4), nullptr);
    EXPECT_EQ(patched(18, 0, 4), nullptr);           // width 0
    EXPECT_EQ(patched(18, 0x7FFFFFFF, 4), nullptr);  // width beyond any file
    EXPECT_EQ(patched(22, 0x10000, 4), nullptr);     // height beyond what the file holds
    EXPECT_EQ(patched(28, 7, 2), nullptr);           // bit count
    EXPECT_EQ(patched(30, 1, 4), nullptr);           // run-length compression
    EXPECT_EQ(patched(46, 1000, 4), nullptr);        // colours used
    EXPECT_EQ(patched(10, 0x7FFFFFF0, 4), nullptr);  // pixels beyond the end
    std::vector<uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_EQ(ReadDibFile(WriteBytes("short.bmp", truncated).c_str()), nullptr);
    EXPECT_EQ(ReadDibFile(WriteBytes("empty.bmp", {}).c_str()), nullptr);
    EXPECT_EQ(ReadDibFile(Path("none.bmp").c_str()), nullptr);
}

TEST_F(DibFileTest, MutatedHeadersNeverReadPastTheFile) {
    GlobalHandle dib = CreateDib(8, 7, 5);
    auto* header = LockDib(dib);
    ASSERT_EQ(WriteDibFile(header, Path("seed.bmp").c_str()), 1);
    platform::GlobalFree(dib);
    const std::vector<uint8_t> seed = ReadBytes(Path("seed.bmp"));
    std::mt19937 random(7);
    int accepted = 0;
    for (int round = 0; round < 400; ++round) {
        std::vector<uint8_t> copy = seed;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e)
            copy[random() % 60] = uint8_t(random());
        copy.resize(copy.size() - random() % 3 * (random() % 200));
        GlobalHandle read = ReadDibFile(WriteBytes("m.bmp", copy).c_str());
        if (read == nullptr) continue;
        ++accepted;
        // Whatever was accepted describes no more than its block.
        auto* h = LockDib(read);
        ASSERT_NE(h, nullptr) << round;
        ASSERT_LE(DibTotalBytes(*h), platform::GlobalSize(read));
        platform::GlobalFree(read);
    }
    EXPECT_GT(accepted, 0);
}

TEST_F(DibFileTest, LockDibRefusesHeadersThatClaimMoreThanTheirBlock) {
    GlobalHandle dib = CreateDib(24, 10, 10);
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(dib));
    header->biHeight = 1000;
    platform::GlobalUnlock(dib);
    EXPECT_EQ(LockDib(dib), nullptr);
    EXPECT_FALSE(platform::GlobalUnlock(dib));  // nothing was left locked
    EXPECT_EQ(LockDib(nullptr), nullptr);
    platform::GlobalFree(dib);
}

}  // namespace
}  // namespace kivoly
