#include "resources/string_table.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace kivoly {
namespace {

struct StringEntry {
    int id;
    const char* text;
};

// Sorted by id.
constexpr std::array kStrings{
    // Button labels of the main window.
    StringEntry{2, "Kivo"},
    StringEntry{3, "Adjust"},
    StringEntry{4, "Setup"},
    StringEntry{5, "Help"},
    StringEntry{6, "Save"},
    StringEntry{24, "Preview"},
    // Message boxes.
    StringEntry{26, "Error"},
    StringEntry{30, "Not enough memory to kivo."},
    // File names of the skin bitmaps.
    StringEntry{31, "title_p.bmp"},
    StringEntry{32, "kivo_br.bmp"},
    StringEntry{33, "adj_bd.bmp"},
    StringEntry{34, "save_bd.bmp"},
    StringEntry{35, "setup_bd.bmp"},
    StringEntry{36, "help_bd.bmp"},
    StringEntry{37, "numbers.bmp"},
    StringEntry{38, "adj_p.bmp"},
    StringEntry{39, "knobs.bmp"},
    StringEntry{49, "procs_bd.bmp"},
    StringEntry{50, "reset_bd.bmp"},
    StringEntry{51, "prevw_bd.bmp"},
    StringEntry{52, "Kivoly Video Kivoshot"},
    StringEntry{53, "procs_bu.bmp"},
    StringEntry{54, "prevw_p.bmp"},
    StringEntry{55, "sliders.bmp"},
    StringEntry{59, "Video signal not detected.  Check video source, battery, and all cables"},
    StringEntry{61, "Unable to digitize - Bad Video Signal?"},
    StringEntry{62, "Not enough memory to kivo whith current settings."},
    StringEntry{67, "Creating %d x %d image . . ."},
    StringEntry{68, "kivo_bd.bmp"},
    StringEntry{69, "setup_p.bmp"},
    StringEntry{70, "save_bu.bmp"},
    StringEntry{71, "setsl_bd.bmp"},
    StringEntry{72, "setsv_bd.bmp"},
    StringEntry{73, "lowbat_i.bmp"},
    StringEntry{74, "toobri_i.bmp"},
    StringEntry{75, "playtri.bmp"},
    // Progress texts.
    StringEntry{76, "Capturing . . ."},
    StringEntry{77, "Capturing . . ."},
    StringEntry{78, "Capturing . . ."},
    StringEntry{80, "Analyzing . . ."},
    StringEntry{82, "Unable to create a %d x %d image."},
    StringEntry{83, "Kivoly Process Error"},
    StringEntry{84, "Abort Requested"},
    StringEntry{85, "Abort Processing?"},
    // Words of the setup window; its skin draws them, the table keeps them alongside.
    StringEntry{100, "Camera"},
    StringEntry{101, "Tape"},
    StringEntry{102, "Moving"},
    StringEntry{103, "Still"},
    StringEntry{104, "70ns Quality Still"},
    StringEntry{105, "35ns Quality Still"},
    StringEntry{106, "Color"},
    StringEntry{107, "Grey Scale"},
    StringEntry{108, "Negative"},
    StringEntry{109, "New Window"},
    StringEntry{110, "Current Window"},
    StringEntry{111, "Image Size"},
    StringEntry{112, "320 x 240"},
    StringEntry{113, "640 x 480"},
    StringEntry{114, "1500 x 1125"},
    StringEntry{115, "Terminate Video"},
    StringEntry{116, "Save Settings"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.id < b.id;
                             }));

}  // namespace

const char* StringText(int id) {
    const auto it =
        std::lower_bound(kStrings.begin(), kStrings.end(), id,
                         [](const StringEntry& entry, int key) { return entry.id < key; });
    return it != kStrings.end() && it->id == id ? it->text : nullptr;
}

int LoadResourceString(int id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const char* text = StringText(id);
    if (!text) text = "";
    const std::size_t length = std::min(std::strlen(text), static_cast<std::size_t>(size - 1));
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace kivoly
