#include "output/dib_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bitmap_bytes.h"
#include "output/internal/default_palette.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"

namespace kivoly {
namespace {

using platform::GlobalHandle;
using test::Bitmap;
using test::Bytes;
using test::Put16;
using test::Put32;

// What a read of the file gives: null, or its header locked until the end of the test.
class DibFileTest : public ::testing::Test {
  protected:
    ~DibFileTest() override {
        for (GlobalHandle handle : handles_)
            platform::GlobalFree(handle);
    }
    std::string Path(const std::string& name) const { return ::testing::TempDir() + name; }
    platform::BitmapInfoHeader* Keep(GlobalHandle handle) {
        if (handle) handles_.push_back(handle);
        return LockDib(handle);
    }
    platform::BitmapInfoHeader* Read(const Bytes& bytes) {
        test::WriteBytes(Path("read.bmp"), bytes);
        return Keep(ReadDibFile(Path("read.bmp").c_str()));
    }

    std::vector<GlobalHandle> handles_;
};

// Written after the file header as it lies in memory (rows padded, bottom row first), and read
// back alike.
TEST_F(DibFileTest, FilesHoldTheBitmapAfterTheirHeaderAndReadBackAlike) {
    for (int bits : {1, 4, 8, 24}) {
        platform::BitmapInfoHeader* header = Keep(CreateDib(bits, 5, 3));
        ASSERT_NE(header, nullptr);
        // Room for a full colour table, whatever the depth.
        EXPECT_EQ(platform::GlobalSize(handles_.back()), 40 + 4 * 256 + header->biSizeImage);
        for (uint32_t i = 0; i < header->biSizeImage; ++i)
            DibPixels(header)[i] = uint8_t(i * 7 + 1);
        std::memset(header + 1, 0x55, 4 * DibColours(*header));  // an 8-bit one's is replaced
        ASSERT_EQ(WriteDibFile(header, Path("a.bmp").c_str()), 1);
        const auto* bytes = reinterpret_cast<const uint8_t*>(header);
        const uint32_t total = static_cast<uint32_t>(DibTotalBytes(*header));
        Bytes expected = {'B', 'M'};
        for (uint32_t field : {14 + total, 0u, 14 + total - header->biSizeImage})
            Put32(expected, field);
        expected.insert(expected.end(), bytes, bytes + total);
        const Bytes file = test::ReadBytes(Path("a.bmp"));
        EXPECT_EQ(file, expected) << bits;
        // An 8-bit bitmap's pixels index the palette: the file gets the palette's colours.
        for (int i = 0; bits == 8 && i < 256; ++i) {
            const auto& colour = BuiltInColourTable()[i];
            EXPECT_EQ(Bytes(file.begin() + 54 + 4 * i, file.begin() + 57 + 4 * i),
                      (Bytes{colour.blue, colour.green, colour.red}))
                << i;
        }
        const platform::BitmapInfoHeader* read = Keep(ReadDibFile(Path("a.bmp").c_str()));
        ASSERT_NE(read, nullptr) << bits;
        // The header (a 1-bit bitmap's colour count, 0 in memory, is read as the 2 it stands
        // for), then the colour table and the pixels.
        EXPECT_EQ(0, std::memcmp(read, header, 32)) << bits;
        EXPECT_EQ(DibColours(*read), DibColours(*header)) << bits;
        EXPECT_EQ(0, std::memcmp(read + 1, header + 1, total - 40)) << bits;
    }
    EXPECT_EQ(WriteDibFile(nullptr, Path("x.bmp").c_str()), 0);
    EXPECT_EQ(WriteDibFile(Keep(CreateDib(24, 4, 4)), Path("missing/x.bmp").c_str()), 0);
}

TEST_F(DibFileTest, ReadsWithoutFileHeaderWithOldHeaderWithoutImageSizeAndWithBitFields) {
    // Information header only, biSizeImage 0, two colours used.
    const platform::BitmapInfoHeader* bare = Read(Bitmap(2, 2, 8, false, 0, 0, 2));
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->biSizeImage, 8u);
    EXPECT_EQ(DibPixels(bare)[1], 1);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(bare)[40 + 4], 1);

    // "BM" and the old 12-byte header with 3-byte colours.
    Bytes old = {'B', 'M'};
    for (uint32_t field : {14u + 12 + 6 + 8, 0u, 14u + 12 + 6, 12u})
        Put32(old, field);
    for (uint16_t field : {2, 2, 1, 1})  // width, height, planes, bits
        Put16(old, field);
    old.insert(old.end(), {1, 2, 3, 4, 5, 6, 0x40, 0, 0, 0, 0x80, 0, 0, 0});
    const platform::BitmapInfoHeader* header = Read(old);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biBitCount, 1);
    EXPECT_EQ(header->biClrUsed, 2u);
    const uint8_t* table = reinterpret_cast<const uint8_t*>(header) + 40;
    EXPECT_EQ(Bytes(table, table + 8), (Bytes{1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(DibPixels(header)[4], 0x80);

    // 32 bits with the three bit-field masks after a 40-byte header.
    Bytes fields = Bitmap(1, 1, 32, false, 9);
    fields[16] = 3;  // biCompression
    const Bytes masks = {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};
    fields.insert(fields.begin() + 40, masks.begin(), masks.end());
    const platform::BitmapInfoHeader* masked = Read(fields);
    ASSERT_NE(masked, nullptr);
    const uint8_t* read = reinterpret_cast<const uint8_t*>(masked) + 40;
    EXPECT_EQ(Bytes(read, read + 12), masks);
    EXPECT_EQ(DibPixels(masked)[0], 9);
}

TEST_F(DibFileTest, BadFilesGiveNull) {
    const Bytes good = Bitmap(8, 8, 24, true, 0);
    ASSERT_NE(Read(good), nullptr);
    auto patched = [&](std::size_t at, uint32_t value, int bytes) {
        Bytes copy = good;
        for (int i = 0; i < bytes; ++i)
            copy[at + i] = uint8_t(value >> (8 * i));
        return Read(copy);
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
    EXPECT_EQ(Read(Bytes(good.begin(), good.end() - 1)), nullptr);
    EXPECT_EQ(Read({}), nullptr);
    EXPECT_EQ(ReadDibFile(Path("none.bmp").c_str()), nullptr);
}

TEST_F(DibFileTest, LockDibRefusesHeadersThatClaimMoreThanTheirBlock) {
    GlobalHandle dib = CreateDib(24, 10, 10);
    handles_.push_back(dib);
    static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(dib))->biHeight = 1000;
    platform::GlobalUnlock(dib);
    EXPECT_EQ(LockDib(dib), nullptr);
    EXPECT_FALSE(platform::GlobalUnlock(dib));  // nothing was left locked
    EXPECT_EQ(LockDib(nullptr), nullptr);
}

}  // namespace
}  // namespace kivoly
