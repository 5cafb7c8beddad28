#include "output/skin_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "bitmap_bytes.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/message_box.h"
#include "platform/settings_folder.h"
#include "support/golden_picture.h"
#include "support/scoped_variable.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

using test::Bitmap;
using test::Bytes;
using test::WriteBytes;

// An archive of the members, each followed by its two-byte trailer, which must be skipped and
// never read as a member.
Bytes Archive(std::initializer_list<Bytes> members) {
    Bytes out;
    for (const Bytes& member : members) {
        out.insert(out.end(), member.begin(), member.end());
        out.insert(out.end(), {0xEE, 0xEE});
    }
    return out;
}

// Reads members until the archive gives none (at most `limit`), freeing each: width, height and
// first pixel byte of each.
using Row = std::array<int, 3>;
std::vector<Row> ReadAll(int limit) {
    std::vector<Row> members;
    for (int i = 0; i < limit; ++i) {
        SkinBitmap member = ReadNextSkinBitmap(false);
        if (!member) break;
        members.push_back({int(member.header->biWidth), int(member.header->biHeight),
                           DibPixels(member.header)[0]});
        const platform::GlobalHandle block = member.handle;
        FreeSkinBitmap(member);
        EXPECT_FALSE(platform::GlobalIsValid(block) || member);  // freed and forgotten
    }
    return members;
}

class SkinArchiveTest : public ::testing::Test {
  protected:
    SkinArchiveTest() {
        ReadNextSkinBitmap(true);
        platform::ClearShownMessageBoxes();
    }
    ~SkinArchiveTest() override {
        ReadNextSkinBitmap(true);
        SetSkinArchiveOverride(nullptr);
    }

    std::string UseArchive(const Bytes& bytes) {
        const std::string path = home_.File("archive.d8a");
        WriteBytes(path, bytes);
        SetSkinArchiveOverride(path.c_str());
        return path;
    }

    test::TempSettingsFolder home_;
    // Nothing outside the test's own folders may answer the search.
    test::ScopedVariable systemDir_{"KIVOLY_SYSTEM_DIR", home_.File("system").c_str()};
};

// Without a file header the pixels follow the colour table; with one they lie where it says,
// which may leave a gap. biSizeImage 0 means stride x height, and exactly that much is read
// before the trailer.
TEST_F(SkinArchiveTest, MembersWithAndWithoutFileHeadersFollowEachOtherPastTheirTrailers) {
    Bytes gap = Bitmap(4, 1, 24, true, 7);
    gap[10] += 6;  // bfOffBits
    gap.insert(gap.begin() + 54, 6, 0xAA);
    UseArchive(Archive({Bitmap(1, 3, 24, false, 10), Bitmap(6, 2, 8, false, 20, 0), gap,
                        Bitmap(3, 4, 24, true, 30, 0), Bitmap(2, 2, 8, true, 40)}));
    EXPECT_EQ(ReadAll(10),
              (std::vector<Row>{{1, 3, 10}, {6, 2, 20}, {4, 1, 7}, {3, 4, 30}, {2, 2, 40}}));
    // A missing archive gives nothing, and says nothing.
    ReadNextSkinBitmap(true);
    SetSkinArchiveOverride(home_.File("none.d8a").c_str());
    EXPECT_FALSE(ReadNextSkinBitmap(false));
    EXPECT_TRUE(platform::ShownMessageBoxes().empty());
}

// A damaged member gives nothing, and nor does what follows it (a member may lie where the damaged
// one's pixels were claimed) until the archive is opened again.
TEST_F(SkinArchiveTest, ADamagedMemberEndsTheArchiveUntilItIsReopened) {
    const Bytes member = Bitmap(4, 4, 24, true, 5);
    Bytes huge = member;  // 30000 x 30000 pixels declared, 48 present
    huge[18] = huge[22] = 0x30;
    huge[19] = huge[23] = 0x75;
    Bytes lyingOffset = member;  // pixels said to lie past the end
    lyingOffset[12] = 0x10;
    Bytes cut = Bitmap(50, 50, 24, true, 2);  // its header, then at once a member
    cut.resize(54);
    const Bytes next = Bitmap(3, 3, 24, true, 3);
    cut.insert(cut.end(), next.begin(), next.end());
    for (const Bytes& damaged :
         {huge, lyingOffset, Bytes(member.begin(), member.end() - 20), Bytes{'B', 'M', 1}, cut}) {
        ReadNextSkinBitmap(true);
        UseArchive(Archive({Bitmap(2, 2, 24, true, 1), damaged}));
        EXPECT_EQ(ReadAll(30), (std::vector<Row>{{2, 2, 1}})) << damaged.size();
        EXPECT_FALSE(ReadNextSkinBitmap(false)) << damaged.size();
    }
    ReadNextSkinBitmap(true);
    EXPECT_EQ(ReadAll(1), (std::vector<Row>{{2, 2, 1}}));
}

// Loose files and the archive both lie in the settings folder's twain/kivoly folder; a settings
// folder that ends with a separator gives no doubled one.
TEST_F(SkinArchiveTest, LooseFilesAndTheArchiveAreFoundInTheSettingsFolder) {
    platform::SetSettingsFolderOverride((home_.Path() + "/").c_str());
    constexpr int kTitlePanel = 31;  // "title_p.bmp"
    constexpr int kKnobs = 39;       // "knobs.bmp"
    WriteBytes(home_.File("twain/kivoly/TITLE_P.BMP"), Bitmap(9, 2, 24, true, 3));

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

    const std::string path = home_.File("twain/kivoly/Kivoly.d8a");
    WriteBytes(path, Bitmap(7, 3, 24, true, 77));
    EXPECT_EQ(FindSkinArchive(), path);
    EXPECT_EQ(ReadAll(2), (std::vector<Row>{{7, 3, 77}}));
}

// A 24-bit member as a picture, its strips of frames as one tall picture.
sim::Picture PictureOf(const platform::BitmapInfoHeader& header) {
    sim::Picture picture(header.biWidth, header.biHeight);
    for (int y = 0; y < picture.height; ++y) {
        const uint8_t* row =
            DibPixels(&header) + DibStride(24, header.biWidth) * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x)
            std::reverse_copy(row + 3 * x, row + 3 * x + 3, picture.Pixel(x, y));
    }
    return picture;
}

// The archive the build draws: 23 members, each the picture that was looked at, fits the panel
// it is drawn on without a seam and has a distinct frame for every value of its strip.
TEST_F(SkinArchiveTest, TheBuiltArchiveHoldsItsTwentyThreeMembers) {
    SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
    for (int number = 1; number <= 23; ++number) {
        SkinBitmap member = ReadNextSkinBitmap(false);
        ASSERT_TRUE(member) << number;
        ASSERT_EQ(member.header->biBitCount, 24) << number;
        test::ExpectGolden("skin-member-" + std::to_string(number), PictureOf(*member.header));
        FreeSkinBitmap(member);
    }
    EXPECT_FALSE(ReadNextSkinBitmap(false));  // a 24th member
}

TEST_F(SkinArchiveTest, WithoutAnArchiveNearbyTheSearchFallsBackToWhereTheBuildPutsIt) {
    // The test program's folders hold no archive; the build's (or an installed) one is found.
    const std::string found = FindSkinArchive();
    EXPECT_TRUE(found.ends_with("share/kivoly/Kivoly.d8a")) << found;
}

}  // namespace
}  // namespace kivoly
