#include "output/skin_archive.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "output/dib_file.h"
#include "output/display_palette.h"
#include "output/packed_dib.h"
#include "platform/file_search.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/message_box.h"
#include "platform/settings_folder.h"
#include "resources/string_table.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;

// Every member ends with two bytes that nothing reads.
constexpr long kTrailerBytes = 2;
// File names in the string table are short names: eight characters, a dot and three.
constexpr int kSkinNameLength = 13;

struct ArchiveReader {
    std::FILE* file = nullptr;
    // Set when a member could not be read: the place of the next one is then unknown, and
    // whatever follows would be read from the middle of a member.
    bool lost = false;
    std::optional<std::string> overridePath;
};

ArchiveReader& Reader() {
    static ArchiveReader reader;
    return reader;
}

bool IsFile(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The settings folder's twain/kivoly folder (the settings folder may end with a separator).
std::string SkinFolder() {
    std::string folder = platform::SettingsFolder();
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + "twain/kivoly";
}

// `name` in the skin folder: the entry that matches it in any case, else the name as it stands.
std::string SkinFolderPath(const std::string& name) {
    const std::string folder = SkinFolder();
    std::string path = platform::FindInFolder(folder, name);
    return path.empty() ? folder + "/" + name : path;
}

std::string FolderOf(const std::string& file) {
    return file.empty() ? std::string() : fs::path(file).parent_path().string();
}

// Where a build and an installation put the archive, in the order they are tried.
std::vector<std::string> InstalledSkinFolders() {
    std::error_code error;
    const std::string program = FolderOf(fs::read_symlink("/proc/self/exe", error).string());
    Dl_info info{};
    std::string library;
    if (::dladdr(reinterpret_cast<void*>(&InstalledSkinFolders), &info) != 0 &&
        info.dli_fname != nullptr) {
        library = FolderOf(fs::absolute(info.dli_fname, error).string());
    }
    std::vector<std::string> folders;
    for (const std::string& base : {library, program}) {
        if (!base.empty()) {
            folders.push_back((fs::path(base) / ".." / "share" / "kivoly").lexically_normal());
        }
    }
#ifdef KIVOLY_INSTALL_SKIN_DIR
    folders.emplace_back(KIVOLY_INSTALL_SKIN_DIR);
#endif
#ifdef KIVOLY_BUILD_SKIN_DIR
    folders.emplace_back(KIVOLY_BUILD_SKIN_DIR);
#endif
    for (const std::string& base : {library, program}) {
        if (!base.empty()) folders.push_back(base);
    }
    return folders;
}

SkinBitmap Locked(platform::GlobalHandle handle) {
    auto* header = static_cast<platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    if (header == nullptr) {
        platform::GlobalFree(handle);
        return {};
    }
    return {handle, header};
}

// On a palette display an 8-bit skin bitmap is drawn with the user interface's palette indices.
void MapToUiPalette(platform::GlobalHandle handle) {
    if (IsTrueColourDisplay()) return;
    const auto* header =
        static_cast<const platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    const bool paletted = header != nullptr && header->biBitCount == 8;
    platform::GlobalUnlock(handle);
    if (paletted) MapDibToPalette(handle, DefaultPalette(), ScreenSystemPalette());
}

// The member at the file's position; `lost` is set when it cannot be read and the next member's
// place is therefore unknown.
SkinBitmap ReadMember(std::FILE* file, bool& lost) {
    platform::GlobalHandle handle = ReadDibHeader(file);
    if (handle == nullptr) {
        lost = true;
        return {};
    }
    const auto* header =
        static_cast<const platform::BitmapInfoHeader*>(platform::GlobalLock(handle));
    const std::size_t pixelOffset = DibPixelOffset(*header);
    const std::size_t imageBytes = header->biSizeImage;
    platform::GlobalUnlock(handle);

    const long pixels = std::ftell(file);
    const long next = pixels + static_cast<long>(imageBytes) + kTrailerBytes;
    if (platform::GlobalReAlloc(handle, pixelOffset + imageBytes) == nullptr) {
        platform::MessageBox(nullptr, "Huh", "Opened file but can't ReAlloc to full size!?",
                             platform::MbOk);
        platform::GlobalFree(handle);
        // Step over the member all the same, so that the members after it keep their places.
        std::fseek(file, next, SEEK_SET);
        return {};
    }
    auto* block = static_cast<uint8_t*>(platform::GlobalLock(handle));
    const bool read = std::fread(block + pixelOffset, 1, imageBytes, file) == imageBytes;
    platform::GlobalUnlock(handle);
    if (!read) {
        platform::GlobalFree(handle);
        lost = true;
        return {};
    }
    std::fseek(file, next, SEEK_SET);
    MapToUiPalette(handle);
    return Locked(handle);
}

}  // namespace

void FreeSkinBitmap(SkinBitmap& bitmap) {
    if (bitmap.handle != nullptr) {
        platform::GlobalUnlock(bitmap.handle);
        platform::GlobalFree(bitmap.handle);
    }
    bitmap = {};
}

std::string FindSkinArchive() {
    if (Reader().overridePath) {
        return IsFile(*Reader().overridePath) ? *Reader().overridePath : std::string();
    }
    std::string path = platform::FindFile(kSkinArchiveName);
    if (!path.empty()) return path;
    path = SkinFolderPath(kSkinArchiveName);
    if (IsFile(path)) return path;
    for (const std::string& folder : InstalledSkinFolders()) {
        path = platform::FindInFolder(folder, kSkinArchiveName);
        if (IsFile(path)) return path;
    }
    return "";
}

void SetSkinArchiveOverride(const char* path) {
    Reader().overridePath = path ? std::optional<std::string>(path) : std::nullopt;
}

SkinBitmap ReadNextSkinBitmap(bool close) {
    ArchiveReader& reader = Reader();
    if (close) {
        if (reader.file != nullptr) std::fclose(reader.file);
        reader.file = nullptr;
        reader.lost = false;
        return {};
    }
    if (reader.file == nullptr) {
        const std::string path = FindSkinArchive();
        if (path.empty()) return {};
        reader.file = std::fopen(path.c_str(), "rb");
        if (reader.file == nullptr) return {};
    }
    if (reader.lost) return {};
    return ReadMember(reader.file, reader.lost);
}

SkinBitmap LoadSkinBitmap(int stringId) {
    char name[kSkinNameLength + 1];
    LoadResourceString(stringId, name, sizeof name);
    std::string path = name;
    platform::GlobalHandle handle = ReadDibFile(name);
    if (handle == nullptr) {
        path = SkinFolderPath(name);
        handle = ReadDibFile(path.c_str());
    }
    if (handle == nullptr) {
        platform::MessageBox(nullptr, (" Cannot find " + path).c_str(),
                             "Error: Unable to find file", platform::MbOk);
        return {};
    }
    MapToUiPalette(handle);
    return Locked(handle);
}

}  // namespace kivoly
