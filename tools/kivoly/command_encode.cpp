// kivoly encode: makes a raw capture file from a picture, as the digitizer would have captured a
// still camera showing it, so that `kivoly decode` and the library can work without the device.
#include <cstdio>
#include <string>

#include "capture/raw_capture_file.h"
#include "command.h"
#include "sim/capture_sequence.h"
#include "sim/colour_bars.h"
#include "sim/ntsc_encoder.h"
#include "sim/picture_file.h"

namespace kivoly::cli {
namespace {

constexpr const char* kUsage =
    "Usage: kivoly encode PICTURE -o RAW.nsr [--quality 0..3]\n"
    "       kivoly encode --bars -o RAW.nsr [--quality 0..3]\n\n"
    "Encodes a picture as NTSC composite video sampled at four times the colour subcarrier and\n"
    "writes the field captures that a decode of the given quality reads, one record each:\n"
    "  0  moving      1 field\n"
    "  1  still       3 fields (the second is skipped by the decode)\n"
    "  2  70 ns       4 fields: two frames (the default)\n"
    "  3  35 ns       8 fields: two frames, then two more at the alternate line length\n\n"
    "PICTURE is a PNG, 24-bit BMP or binary PPM file of any size; it fills the picture area.\n"
    "--bars encodes the built-in 75 % colour bars instead.\n";

// Exit codes: 2 for a command line that makes no sense, 1 for a file that cannot be read or
// written.
int Fail(const std::string& message, int code = 2) {
    std::fprintf(stderr, "kivoly encode: %s\n", message.c_str());
    return code;
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
            if (++i == args.size()) return Fail(arg + " needs a file name");
            outputPath = args[i];
        } else if (arg == "--quality" || arg == "-q") {
            if (++i == args.size()) return Fail(arg + " needs a value from 0 to 3");
            const std::string& value = args[i];
            if (value.size() != 1 || value[0] < '0' || value[0] > '3') {
                return Fail("quality must be 0, 1, 2 or 3, not '" + value + "'");
            }
            quality = value[0] - '0';
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail("unknown option '" + arg + "' (kivoly encode --help)");
        } else if (picturePath.empty()) {
            picturePath = arg;
        } else {
            return Fail("more than one picture given");
        }
    }
    if (bars == !picturePath.empty()) return Fail("give either a picture or --bars");
    if (outputPath.empty()) return Fail("give the raw file to write with -o RAW.nsr");

    sim::Picture picture;
    if (bars) {
        picture = sim::ColourBars();
    } else {
        std::string error;
        if (!sim::ReadPicture(picturePath, picture, error)) return Fail(error, 1);
    }

    const sim::NtscEncoder encoder(picture);
    RawCaptureFile file;
    if (!file.Create(outputPath)) return Fail("cannot create " + outputPath, 1);
    for (const sim::CaptureRecord& record : sim::EncodeCaptureRecords(encoder, quality)) {
        if (!file.AppendRecord(record.fieldFlags, record.samples)) {
            std::remove(outputPath.c_str());
            return Fail("cannot write " + outputPath, 1);
        }
    }
    if (!file.Close()) {
        std::remove(outputPath.c_str());
        return Fail("cannot write " + outputPath, 1);
    }
    return 0;
}

}  // namespace

KIVOLY_COMMAND("encode", "make a raw capture file (.nsr) from a picture or colour bars", kUsage,
               RunEncode);

}  // namespace kivoly::cli
