// The picture options that the commands which make pictures share (`kivoly decode`,
// `kivoly capture`): quality, colour, negative and camera handling, output size and the nine
// adjustments. An option not given keeps the value the library loaded from the settings file.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"
#include "kivoly/kivoly.h"

namespace kivoly::cli {

struct PictureOptions {
    std::optional<int> quality;
    bool grey = false;
    bool negative = false;
    bool camera = false;
    std::optional<int> width;
    std::optional<int> height;
    // Hue, Color, Brightness, Contrast, Sharpness, Gamma, Red, Green, Blue.
    std::array<std::optional<int>, 9> adjustments;

    // Overrides the fields of the records that an option was given for.
    void Apply(KivoGrabInfo& grabInfo, KivoProcessInfo& processInfo) const;
};

enum class OptionResult { Taken, NotMine, Error };

// Looks at args[index]; when it is a picture option, stores it (taking its value from the next
// argument, which `index` then moves past) and returns Taken. Error leaves one line in `error`.
OptionResult TakePictureOption(const std::vector<std::string>& args, std::size_t& index,
                               PictureOptions& options, std::string& error);

// The options' lines for a command's --help.
std::vector<OptionHelp> PictureOptionsHelp();

}  // namespace kivoly::cli
