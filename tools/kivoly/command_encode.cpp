// kivoly encode: makes a raw capture file from a picture, as the digitizer would have captured a
// still camera showing it, so that `kivoly decode` and the library can work without the device.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

#include "command.h"
#include "command_line.h"
#include "kivoly/tools.h"

namespace kivoly::cli {
namespace {

const std::string kUsage =
    "Usage: kivoly encode PICTURE -o RAW.nsr [--quality 0..3]\n"
    "       kivoly encode --bars -o RAW.nsr [--quality 0..3]\n\n" +
    Wrap(
        "Encodes a picture as NTSC composite video sampled at four times the colour subcarrier "
        "and writes the field captures that a decode of the given quality reads, one record "
        "each:") +
    "  0  moving      1 field\n"
    "  1  still       3 fields (the second is skipped by the decode)\n"
    "  2  70 ns       4 fields: two frames (the default)\n"
    "  3  35 ns       8 fields: two frames, then two at the alternate line length\n\n" +
    Wrap(
        "PICTURE is a PNG, 24-bit BMP or binary PPM file of any size; it fills the picture "
        "area. --bars encodes the built-in 75 % colour bars instead.") +
    "\n" +
    FormatOptions({{"-o, --output RAW.nsr", "the raw capture file to write"},
                   {"-q, --quality Q", "the quality whose fields are written (default 2)"},
                   {"--bars", "encode colour bars instead of a picture"}});

constexpr const char* kName = "encode";

bool IsPictureName(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const char* picture : {".bmp", ".png", ".ppm", ".jpg", ".jpeg", ".gif", ".tif", ".tiff"}) {
        if (extension == picture) return true;
    }
    return false;
}

// True when both paths name one existing file (a link or another spelling included).
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

int RunEncode(const std::vector<std::string>& args) {
    std::string picturePath, outputPath;
    bool bars = false;
    int quality = 2;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--bars") {
            bars = true;
        } else if (arg == "-o" || arg == "--output") {
            if (++i == args.size()) return UsageError(kName, arg + " needs a file name");
            outputPath = args[i];
        } else if (arg == "--quality" || arg == "-q") {
            if (++i == args.size()) return UsageError(kName, arg + " needs a value from 0 to 3");
            const std::string& value = args[i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '3') {
                return UsageError(kName, "quality must be 0, 1, 2 or 3, not '" + value + "'");
            }
            quality = value[0] - '0';
        } else if (arg.size() > 1 && arg[0] == '-') {
            return UsageError(kName, "unknown option '" + arg + "'");
        } else if (picturePath.empty()) {
            picturePath = arg;
        } else {
            return UsageError(kName, "more than one picture given");
        }
    }
    if (bars == !picturePath.empty()) return UsageError(kName, "give either a picture or --bars");
    if (outputPath.empty()) return UsageError(kName, "give the raw file to write with -o RAW.nsr");
    // A raw capture under a picture's name would pass for a picture that no viewer can open.
    if (IsPictureName(outputPath)) {
        return UsageError(kName, outputPath + ": a raw capture is not a picture; name it .nsr");
    }
    if (!picturePath.empty() && SameFile(picturePath, outputPath)) {
        return UsageError(kName, "the raw file " + outputPath +
                                     " would replace the picture it is "
                                     "made from");
    }
    if (const std::string problem = OutputProblem(outputPath); !problem.empty()) {
        return UsageError(kName, problem);
    }

    std::string error;
    switch (tools::EncodeRawFile(bars ? "" : picturePath, quality, outputPath, error)) {
        case tools::EncodeResult::PictureUnreadable:
            return UsageError(kName, error);
        case tools::EncodeResult::FileFailed:
            return RunFailure(kName, error);
        case tools::EncodeResult::Written:
            break;
    }
    return 0;
}

}  // namespace

KIVOLY_COMMAND("encode", "make a raw capture file (.nsr) from a picture or colour bars", kUsage,
               RunEncode);

}  // namespace kivoly::cli
