#include "picture_options.h"

#include <charconv>

namespace kivoly::cli {

namespace {

struct Adjustment {
    const char* option;
    int32_t KivoProcessInfo::*field;
};

constexpr std::array<Adjustment, 9> kAdjustments = {{
    {"--hue", &KivoProcessInfo::Hue},
    {"--color", &KivoProcessInfo::Color},
    {"--brightness", &KivoProcessInfo::Brightness},
    {"--contrast", &KivoProcessInfo::Contrast},
    {"--sharpness", &KivoProcessInfo::Sharpness},
    {"--gamma", &KivoProcessInfo::Gamma},
    {"--red", &KivoProcessInfo::Red},
    {"--green", &KivoProcessInfo::Green},
    {"--blue", &KivoProcessInfo::Blue},
}};

struct Size {
    const char* text;
    int width;
    int height;
};
constexpr std::array<Size, 3> kSizes = {
    {{"320x240", 320, 240}, {"640x480", 640, 480}, {"1500x1125", 1500, 1125}}};

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// The option's value, or an error when it is missing.
const std::string* ValueOf(const std::vector<std::string>& args, std::size_t& index,
                           std::string& error) {
    if (index + 1 >= args.size()) {
        error = args[index] + " needs a value";
        return nullptr;
    }
    return &args[++index];
}

OptionResult RangedValue(const std::vector<std::string>& args, std::size_t& index, int low,
                         int high, std::optional<int>& out, std::string& error) {
    const std::string& option = args[index];
    const std::string* text = ValueOf(args, index, error);
    if (text == nullptr) return OptionResult::Error;
    int value = 0;
    if (!ParseInt(*text, value) || value < low || value > high) {
        error = option + " takes a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not '" + *text + "'";
        return OptionResult::Error;
    }
    out = value;
    return OptionResult::Taken;
}

}  // namespace

std::vector<OptionHelp> PictureOptionsHelp() {
    return {
        {"-q, --quality Q", "0 moving, 1 still, 2 70 ns still, 3 35 ns still"},
        {"--grey", "grey scale instead of colour"},
        {"--negative", "the picture is a negative"},
        {"--camera", "the source is a live camera (not a tape player)"},
        {"--size WxH", "320x240, 640x480 or 1500x1125"},
        {"--ADJUSTMENT N",
         "--hue, --color, --brightness, --contrast, --sharpness, --gamma, --red, --green, "
         "--blue: each -50..50 (0: no change). Picture options not given keep the values of "
         "the settings file."},
    };
}

OptionResult TakePictureOption(const std::vector<std::string>& args, std::size_t& index,
                               PictureOptions& options, std::string& error) {
    const std::string& arg = args[index];
    if (arg == "--grey" || arg == "--gray") {
        options.grey = true;
        return OptionResult::Taken;
    }
    if (arg == "--negative") {
        options.negative = true;
        return OptionResult::Taken;
    }
    if (arg == "--camera") {
        options.camera = true;
        return OptionResult::Taken;
    }
    if (arg == "--quality" || arg == "-q")
        return RangedValue(args, index, 0, 3, options.quality, error);
    if (arg == "--size") {
        const std::string* text = ValueOf(args, index, error);
        if (text == nullptr) return OptionResult::Error;
        for (const Size& size : kSizes) {
            if (*text == size.text) {
                options.width = size.width;
                options.height = size.height;
                return OptionResult::Taken;
            }
        }
        error = "--size takes 320x240, 640x480 or 1500x1125, not '" + *text + "'";
        return OptionResult::Error;
    }
    for (std::size_t i = 0; i < kAdjustments.size(); ++i) {
        if (arg == kAdjustments[i].option) {
            return RangedValue(args, index, -50, 50, options.adjustments[i], error);
        }
    }
    return OptionResult::NotMine;
}

void PictureOptions::Apply(KivoGrabInfo& grabInfo, KivoProcessInfo& processInfo) const {
    if (quality) grabInfo.Quality = *quality;
    if (grey) grabInfo.UseColor = 0;
    if (negative) grabInfo.Negative = 1;
    if (camera) grabInfo.CameraInput = 1;
    if (width) processInfo.Width = *width;
    if (height) processInfo.Height = *height;
    for (std::size_t i = 0; i < kAdjustments.size(); ++i) {
        if (adjustments[i]) processInfo.*kAdjustments[i].field = *adjustments[i];
    }
}

}  // namespace kivoly::cli
