#include "output/skin_archive.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "output/dib_file.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/message_box.h"
#include "platform/settings_folder.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Put32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}
void Put16(Bytes& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

// One archive member: a 24-bit or 8-bit bitmap whose pixel bytes count up from `seed`, with or
// without its file header, with the given biSizeImage (stride x height when `sizeImage` < 0).
Bytes Member(int width, int height, int bits, bool fileHeader, uint8_t seed, long sizeImage = -1) {
    const uint32_t stride = uint32_t(DibStride(bits, width));
    const uint32_t imageBytes = stride * uint32_t(height);
    const uint32_t colours = bits == 8 ? 256 : 0;
    Bytes out;
    if (fileHeader) {
        out.push_back('B');
        out.push_back('M');
        Put32(out, 14 + 40 + 4 * colours + imageBytes);
        Put32(out, 0);
        Put32(out, 14 + 40 + 4 * colours);
    }
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, uint16_t(bits));
    Put32(out, 0);
    Put32(out, sizeImage < 0 ? imageBytes : uint32_t(sizeImage));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, colours);
    Put32(out, 0);
    for (uint32_t i = 0; i < colours; ++i)
        Put32(out, i * 0x010101u);
    for (uint32_t i = 0; i < imageBytes; ++i)
        out.push_back(uint8_t(seed + i));
    out.push_back(0xEE);  // the trailer, which must be skipped and never read as a member
    out.push_back(0xEE);
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class SkinArchiveTest : public ::testing::Test {
  protected:
    SkinArchiveTest() {
        // Nothing outside the test's own folders may answer the search.
        ::setenv("KIVOLY_SYSTEM_DIR", home_.File("system").c_str(), 1);
        ReadNextSkinBitmap(true);
        platform::ClearShownMessageBoxes();
    }
    ~SkinArchiveTest() override {
        ReadNextSkinBitmap(true);
        SetSkinArchiveOverride(nullptr);
        ::unsetenv("KIVOLY_SYSTEM_DIR");
    }

    // Reads members until the archive gives none (at most `limit`), freeing them.
    static std::vector<std::array<int, 3>> ReadAll(int limit) {
        std::vector<std::array<int, 3>> members;  // width, height, first pixel byte
        for (int i = 0; i < limit; ++i) {
            SkinBitmap member = ReadNextSkinBitmap(false);
            if (!member) break;
            members.push_back({int(member.header->biWidth), int(member.header->biHeight),
                               DibPixels(member.header)[0]});
            FreeSkinBitmap(member);
        }
        return members;
    }

    std::string UseArchive(const Bytes& bytes) {
        const std::string path = home_.File("archive.d8a");
        WriteFile(path, bytes);
        SetSkinArchiveOverride(path.c_str());
        return path;
    }

    test::TempSettingsFolder home_;
};

TEST_F(SkinArchiveTest, MembersWithAndWithoutFileHeadersFollowEachOtherPastTheirTrailers) {
    // Without a file header the pixels follow the colour table; biSizeImage 0 means stride x
    // height, and exactly that much is read before the trailer.
    UseArchive(Join({Member(5, 3, 24, false, 10), Member(6, 2, 8, false, 20, 0),
                     Member(3, 4, 24, true, 30, 0), Member(2, 2, 8, true, 40)}));
    using Row = std::array<int, 3>;
    EXPECT_EQ(ReadAll(10), (std::vector<Row>{{5, 3, 10}, {6, 2, 20}, {3, 4, 30}, {2, 2, 40}}));
}

TEST_F(SkinArchiveTest, PixelsAreReadWhereTheFileHeaderPutsThem) {
    // A gap between the colour table and the pixels, as a file header may declare.
    Bytes member = Member(4, 1, 24, true, 7);
    member[10] += 6;  // bfOffBits
    member.insert(member.begin() + 54, 6, 0xAA);
    UseArchive(Join({member, Member(1, 1, 24, false, 90)}));
    SkinBitmap first = ReadNextSkinBitmap(false);
    ASSERT_TRUE(first);
    EXPECT_EQ(0, std::memcmp(DibPixels(first.header), Member(4, 1, 24, false, 7).data() + 40, 12));
    FreeSkinBitmap(first);
    using Row = std::array<int, 3>;
    EXPECT_EQ(ReadAll(5), (std::vector<Row>{{1, 1, 90}}));
}

TEST_F(SkinArchiveTest, ClosingStartsAgainWithTheFirstMemberAndAMissingArchiveGivesNothing) {
    UseArchive(Join({Member(2, 2, 24, true, 1), Member(3, 3, 24, true, 2)}));
    EXPECT_EQ(ReadAll(1).at(0)[2], 1);
    EXPECT_EQ(ReadAll(1).at(0)[2], 2);
    ReadNextSkinBitmap(true);
    EXPECT_EQ(ReadAll(1).at(0)[2], 1);
    ReadNextSkinBitmap(true);

    SetSkinArchiveOverride(home_.File("none.d8a").c_str());
    EXPECT_FALSE(ReadNextSkinBitmap(false));
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
}

TEST_F(SkinArchiveTest, DamagedArchivesGiveNoMembersAndNoHugeBlocks) {
    const Bytes good = Member(4, 4, 24, true, 5);
    Bytes huge = good;  // 30000 x 30000 pixels declared, 48 present
    huge[18] = huge[22] = 0x30;
    huge[19] = huge[23] = 0x75;
    Bytes lyingOffset = good;  // pixels said to lie past the end
    lyingOffset[12] = 0x10;
    Bytes shortPixels(good.begin(), good.end() - 20);
    std::mt19937 random(7);
    Bytes noise(4096);
    for (uint8_t& byte : noise)
        byte = uint8_t(random());
    noise[0] = 'B';
    noise[1] = 'M';

    for (const Bytes& archive : {huge, lyingOffset, shortPixels, noise, Bytes{'B', 'M', 1}}) {
        ReadNextSkinBitmap(true);
        UseArchive(archive);
        for (int i = 0; i < 30; ++i) {
            SkinBitmap member = ReadNextSkinBitmap(false);
            if (member) {
                EXPECT_LE(DibTotalBytes(*member.header), platform::GlobalSize(member.handle));
                EXPECT_LE(platform::GlobalSize(member.handle), archive.size() + 1024);
            }
            FreeSkinBitmap(member);
        }
    }
}

TEST_F(SkinArchiveTest, AfterADamagedMemberTheFollowingOnesAreEmptyUntilTheArchiveIsReopened) {
    // Member 2 claims more pixels than the file holds; its pixel bytes happen to look like a
    // member, which must not be handed out as member 3.
    Bytes cut = Member(50, 50, 24, true, 2);
    cut.resize(54);
    UseArchive(Join({Member(2, 2, 24, true, 1), cut, Member(3, 3, 24, true, 3)}));
    using Row = std::array<int, 3>;
    EXPECT_EQ(ReadAll(1), (std::vector<Row>{{2, 2, 1}}));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(ReadNextSkinBitmap(false));
    ReadNextSkinBitmap(true);
    EXPECT_EQ(ReadAll(1), (std::vector<Row>{{2, 2, 1}}));
}

TEST_F(SkinArchiveTest, FoundInTheSettingsFoldersTwainKivolyFolderAfterTheSearch) {
    SetSkinArchiveOverride(nullptr);
    // A settings folder that ends with a separator gives no doubled one.
    platform::SetSettingsFolderOverride((home_.Path() + "/").c_str());
    const std::string path = home_.File("twain/kivoly/Kivoly.d8a");
    WriteFile(path, Member(7, 3, 24, true, 77));
    EXPECT_EQ(FindSkinArchive(), path);
    using Row = std::array<int, 3>;
    EXPECT_EQ(ReadAll(2), (std::vector<Row>{{7, 3, 77}}));
}

TEST_F(SkinArchiveTest, LoadSkinBitmapFindsLooseFilesOrNamesTheLastPathTried) {
    platform::SetSettingsFolderOverride((home_.Path() + "/").c_str());
    constexpr int kTitlePanel = 31;  // "title_p.bmp"
    constexpr int kKnobs = 39;       // "knobs.bmp"
    WriteFile(home_.File("twain/kivoly/TITLE_P.BMP"), Member(9, 2, 24, true, 3));

    SkinBitmap title = LoadSkinBitmap(kTitlePanel);
    ASSERT_TRUE(title);
    EXPECT_EQ(title.header->biWidth, 9);
    EXPECT_EQ(DibPixels(title.header)[0], 3);
    FreeSkinBitmap(title);
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());

    EXPECT_FALSE(LoadSkinBitmap(kKnobs));
    ASSERT_EQ(platform::ShownMessageBoxes().size(), 1u);
    const platform::MessageBoxRecord& box = platform::ShownMessageBoxes()[0];
    EXPECT_EQ(box.text, " Cannot find " + home_.Path() + "/twain/kivoly/knobs.bmp");
    EXPECT_EQ(box.caption, "Error: Unable to find file");
    EXPECT_EQ(box.owner, nullptr);
}

// The archive the build draws: 23 members of the sizes the windows place them at.
TEST_F(SkinArchiveTest, TheBuiltArchiveHoldsTheTwentyThreeMembersAtTheirSizes) {
    SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
    struct Expected {
        int width, height, frames;
    };
    const std::array<Expected, 23> expected{{
        {540, 247, 1}, {88, 36, 1},   {88, 36, 1},   {88, 36, 1},  {88, 36, 1},  {88, 36, 1},
        {88, 36, 1},   {540, 211, 1}, {24, 16, 1},   {24, 16, 1},  {74, 80, 1},  {95, 36, 1},
        {95, 36, 1},   {25, 14, 101}, {36, 39, 101}, {56, 30, 51}, {92, 40, 1},  {92, 40, 1},
        {92, 40, 1},   {540, 211, 1}, {540, 211, 1}, {16, 16, 1},  {116, 28, 1},
    }};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("member " + std::to_string(i + 1));
        SkinBitmap member = ReadNextSkinBitmap(false);
        ASSERT_TRUE(member);
        const platform::BitmapInfoHeader& header = *member.header;
        EXPECT_EQ(header.biWidth, expected[i].width);
        EXPECT_EQ(header.biHeight, expected[i].height * expected[i].frames);
        EXPECT_EQ(header.biSizeImage % uint32_t(expected[i].frames), 0u);
        EXPECT_EQ(header.biSizeImage / uint32_t(expected[i].frames),
                  uint32_t(DibStride(header.biBitCount, header.biWidth) * expected[i].height));
        FreeSkinBitmap(member);
    }
    EXPECT_FALSE(ReadNextSkinBitmap(false));  // a 24th member
}

// The part of a member that differs from the panel under it; right and bottom count from the
// far edges. By default everything but the outer ring.
struct Content {
    int left = 1, top = 1, right = -1, bottom = -1;
};

// The built archive's members, read once.
class BuiltSkinTest : public SkinArchiveTest {
  protected:
    BuiltSkinTest() {
        SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
        for (int i = 1; i <= 23; ++i)
            members_[std::size_t(i)] = ReadNextSkinBitmap(false);
    }
    ~BuiltSkinTest() override {
        for (SkinBitmap& member : members_)
            FreeSkinBitmap(member);
    }

    // The colour at (x, y) of frame `frame` (top row first) of a 24-bit member whose frames
    // are `frameHeight` rows high.
    uint32_t Pixel(int number, int x, int y, int frameHeight = 0, int frame = 0) const {
        const platform::BitmapInfoHeader* header = members_[std::size_t(number)].header;
        const int row = int(header->biHeight) - 1 - (frame * frameHeight + y);
        const uint8_t* at = DibPixels(header) + row * DibStride(24, header->biWidth) + 3 * x;
        return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16;
    }

    // Whether the member (or frame) matches the panel where the window draws it everywhere
    // outside `content` (by default, on its outer ring), so that it sits there without a seam.
    void ExpectFits(int number, int panel, int x, int y, int frameHeight = 0, int frame = 0,
                    Content content = {}) {
        SCOPED_TRACE("member " + std::to_string(number) + " frame " + std::to_string(frame));
        const platform::BitmapInfoHeader* header = members_[std::size_t(number)].header;
        const int width = int(header->biWidth);
        const int height = frameHeight ? frameHeight : int(header->biHeight);
        int mismatches = 0;
        for (int j = 0; j < height; ++j) {
            // Columns past the window's right edge are never seen.
            for (int i = 0; i < std::min(width, 540 - x); ++i) {
                const bool inside = i >= content.left && i < width + content.right &&
                                    j >= content.top && j < height + content.bottom;
                if (!inside) {
                    mismatches +=
                        Pixel(number, i, j, frameHeight, frame) != Pixel(panel, x + i, y + j);
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
    }

    std::array<SkinBitmap, 24> members_;
};

TEST_F(BuiltSkinTest, PressedButtonsLampsAndFramesSitInTheirPanelsWithoutSeams) {
    for (int i = 1; i <= 23; ++i)
        ASSERT_TRUE(members_[std::size_t(i)]) << i;
    const std::pair<int, int> strip[] = {{2, 101}, {3, 189}, {4, 277}, {5, 277},
                                         {6, 365}, {7, 454}, {12, 6},  {13, 6}};
    for (const auto& [number, x] : strip)
        ExpectFits(number, 1, x, 211);
    ExpectFits(9, 8, 162, 161);
    ExpectFits(10, 8, 163, 181);
    ExpectFits(11, 8, 375, 62);
    ExpectFits(17, 20, 348, 167);
    ExpectFits(18, 20, 440, 167);
    ExpectFits(19, 20, 440, 167);
    ExpectFits(22, 21, 41, 44);
    ExpectFits(23, 21, 401, 179);
    // Every frame of the strips fits every place it is drawn at.
    constexpr std::array<int, 51> kTrack = {0,  0,  1,  1,  3,  4,  6,  8,  9,  10, 11, 13, 15,
                                            18, 19, 21, 23, 25, 27, 29, 31, 33, 35, 35, 37, 39,
                                            41, 41, 43, 43, 45, 45, 45, 47, 47, 47, 49, 51, 53,
                                            55, 57, 59, 59, 59, 59, 59, 59, 59, 59, 59, 59};
    for (int frame = 0; frame < 101; frame += 25) {
        ExpectFits(14, 20, 280, 169, 14, frame);
        ExpectFits(14, 20, 246, 57, 14, frame);
        ExpectFits(15, 20, 193, 18, 39, frame);
    }
    // A slider frame is the track behind it wherever the thumb does not cover it.
    for (int frame = 0; frame < 51; ++frame) {
        ExpectFits(16, 20, 147, 80 + kTrack[std::size_t(frame)], 30, frame, {6, 6, -6, -6});
    }
}

TEST_F(BuiltSkinTest, EveryValueDisplayAndKnobFrameShowsItsOwnValue) {
    // A strip whose frames did not follow their values would repeat a frame.
    const struct {
        int number, width, height, frames;
    } strips[] = {{14, 25, 14, 101}, {15, 36, 39, 101}};
    for (const auto& strip : strips) {
        std::set<std::vector<uint32_t>> frames;
        for (int frame = 0; frame < strip.frames; ++frame) {
            std::vector<uint32_t> pixels;
            for (int y = 0; y < strip.height; ++y) {
                for (int x = 0; x < strip.width; ++x)
                    pixels.push_back(Pixel(strip.number, x, y, strip.height, frame));
            }
            frames.insert(pixels);
        }
        EXPECT_EQ(frames.size(), std::size_t(strip.frames)) << "member " << strip.number;
    }
}

TEST_F(SkinArchiveTest, WithoutAnArchiveNearbyTheSearchFallsBackToWhereTheBuildPutsIt) {
    // The test program's folders hold no archive; the build's (or an installed) one is found.
    const std::string found = FindSkinArchive();
    EXPECT_TRUE(found.ends_with("share/kivoly/Kivoly.d8a")) << found;
    SkinBitmap first = ReadNextSkinBitmap(false);
    EXPECT_TRUE(first);
    FreeSkinBitmap(first);
}

}  // namespace
}  // namespace kivoly
