// The skin: the bitmaps that dress the main window. They come as one archive, "Kivoly.d8a", a
// plain sequence of bitmap members with no header or directory; a member's meaning is its place.
// Each member is an optional 14-byte "BM" file header, the information header, the colour table,
// the pixels and two trailer bytes. A single skin bitmap can also be loaded from a loose file
// named by the string table.
//
// The archive is looked for by the open-file search, then in the settings folder's
// twain/kivoly folder, then where a build or an installation puts it: share/kivoly beside the
// folder of the running program or of the library, the installation's data folder, the build
// tree's share/kivoly, and the folders of the library and the program themselves.
#pragma once

#include <string>

#include "platform/gdi/bitmap_info_header.h"
#include "platform/global_memory.h"

namespace kivoly {

inline constexpr char kSkinArchiveName[] = "Kivoly.d8a";

// A skin bitmap handed to the caller: its block and the block's address, locked once.
struct SkinBitmap {
    platform::GlobalHandle handle = nullptr;
    platform::BitmapInfoHeader* header = nullptr;

    explicit operator bool() const { return header != nullptr; }
};

// Unlocks and frees the bitmap's block and empties it.
void FreeSkinBitmap(SkinBitmap& bitmap);

// With close false: the next member of the archive (opening it at the first call), or an empty
// bitmap when there is none or it is damaged; the archive stays open either way, and after a
// damaged member every following one is empty too (its place in the file is not known). With
// close true: closes the archive, so that the next call starts again with the first member.
SkinBitmap ReadNextSkinBitmap(bool close);

// Loads the loose bitmap file whose name is string `stringId`: by the open-file search, then from
// the settings folder's twain/kivoly folder. When neither has it, a message box names the last
// path tried and the bitmap is empty.
SkinBitmap LoadSkinBitmap(int stringId);

// The path the archive is read from, or "" when it is found nowhere.
std::string FindSkinArchive();

// Makes the reader open `path` and nothing else (a missing path then means no archive); null
// returns to the search. For hosts and tests that bring their own skin.
void SetSkinArchiveOverride(const char* path);

}  // namespace kivoly
