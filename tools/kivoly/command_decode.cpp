// kivoly decode: raw captures (.nsr) to pictures, the way a host drives the library. Each raw
// file is replayed through a RawFileSource into a capture store's Decode, the same acquisition
// the library runs for a device capture, and the picture is converted as KivoProcYUVToRGB
// converts it under the Grabber's records (the settings file's, with the options on top).
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "api/decode_feedback.h"
#include "api/grabber.h"
#include "api/picture_conversion.h"
#include "batch_runner.h"
#include "bitmap_picture.h"
#include "capture/raw_file_source.h"
#include "command.h"
#include "decode/yuv_image.h"
#include "display_choice.h"
#include "kivoly/kivoly.h"
#include "output/picture_window.h"
#include "picture_options.h"
#include "resources/string_table.h"
#include "terminal_progress.h"

namespace kivoly::cli {
namespace {

namespace fs = std::filesystem;

const std::string kUsage = std::string(
                               "Usage: kivoly decode RAW.nsr -o PICTURE [options]\n"
                               "       kivoly decode RAW.nsr... -o FOLDER [options]\n\n"
                               "Decodes raw captures into pictures. PICTURE is a .bmp or .png "
                               "file; with several raw\nfiles (or a folder as -o) each becomes "
                               "FOLDER/NAME.bmp (or .png with --format png).\n\n"
                               "  -o, --output PATH  the picture, or the folder for several\n"
                               "  --format F         bmp or png, for pictures written to a "
                               "folder (default bmp)\n"
                               "  -j, --jobs N       decode N raw files at a time (default: one "
                               "per processor)\n"
                               "  --show             show each picture in the picture window\n") +
                           kPictureOptionsHelp;

enum class Format { Bmp, Png };

struct DecodeJob {
    std::vector<std::string> inputs;
    std::string output;
    Format folderFormat = Format::Bmp;
    bool show = false;
    int jobs = 0;  // 0: one per processor
    PictureOptions picture;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool FormatOfPath(const std::string& path, Format& format) {
    const std::string extension = Lower(fs::path(path).extension().string());
    if (extension == ".bmp") {
        format = Format::Bmp;
    } else if (extension == ".png") {
        format = Format::Png;
    } else {
        return false;
    }
    return true;
}

bool ParseArguments(const std::vector<std::string>& args, DecodeJob& job, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const OptionResult taken = TakePictureOption(args, i, job.picture, error);
        if (taken == OptionResult::Error) return false;
        if (taken == OptionResult::Taken) continue;
        if (arg == "-o" || arg == "--output" || arg == "--format" || arg == "-j" ||
            arg == "--jobs") {
            if (i + 1 >= args.size()) {
                error = arg + " needs a value";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--format") {
                if (value != "bmp" && value != "png") {
                    error = "--format takes bmp or png, not '" + value + "'";
                    return false;
                }
                job.folderFormat = value == "png" ? Format::Png : Format::Bmp;
            } else if (arg == "-j" || arg == "--jobs") {
                char* end = nullptr;
                const long jobs = std::strtol(value.c_str(), &end, 10);
                if (value.empty() || *end != '\0' || jobs < 1 || jobs > 256) {
                    error = arg + " takes a number of jobs from 1 to 256, not '" + value + "'";
                    return false;
                }
                job.jobs = static_cast<int>(jobs);
            } else {
                job.output = value;
            }
        } else if (arg == "--show") {
            job.show = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg + " (kivoly decode --help lists them)";
            return false;
        } else {
            job.inputs.push_back(arg);
        }
    }
    if (job.inputs.empty()) {
        error = "no raw file given (kivoly decode --help)";
        return false;
    }
    if (job.output.empty()) {
        error = "no output given: -o PICTURE, or -o FOLDER for several raw files";
        return false;
    }
    return true;
}

// The text the library shows for a failed acquisition.
std::string DecodeFailure(DecodeResult result) {
    const int id = result == DecodeNoVideo ? 59 : result == DecodeOutOfMemory ? 30 : 61;
    return result == DecodeAborted ? "decoding was stopped" : StringText(id);
}

// What one process keeps from one raw file to the next: the capture store (with the
// conversion's tables and plans inside it) and the bitmap, reused while their size holds.
struct DecodeReuse {
    std::unique_ptr<YuvImage> yuv;
    KivoHGlobal dib = nullptr;
};

// Decodes one raw file into `outputPath`; false with the reason in `error`.
bool DecodeOne(KivoGrabber* handle, const std::string& rawPath, const std::string& outputPath,
               bool show, DecodeReuse& reuse, std::string& error) {
    Grabber& grabber = *Grabber::From(handle);
    std::FILE* probe = std::fopen(rawPath.c_str(), "rb");
    if (probe == nullptr) {
        error = "cannot read the raw file";
        return false;
    }
    std::fclose(probe);
    std::unique_ptr<YuvImage>& yuv = reuse.yuv;
    yuv.reset(YuvImage::ReuseOrCreate(yuv.release(), grabber.grabInfo, nullptr));
    if (!yuv) {
        error = StringText(30);
        return false;
    }
    RawFileSource source(rawPath.c_str());
    grabber.BeginBusy();
    DecodeFeedback progress(grabber);
    const DecodeResult result = yuv->Decode(grabber.grabInfo, &progress, nullptr, &source);
    grabber.EndBusy();
    if (result != DecodeOk) {
        error = DecodeFailure(result);
        return false;
    }
    // The picture is ours, not one the library handed out: converted directly.
    // The bitmap passed in is filled again, or freed when it no longer fits.
    reuse.dib = ConvertPicture(grabber, yuv.get(), reuse.dib);
    KivoHGlobal dib = reuse.dib;
    grabber.currentPicture = nullptr;
    if (dib == nullptr) {
        error = "the picture could not be converted";
        return false;
    }
    const bool written = WriteBitmapPicture(handle, dib, outputPath, error);
    if (written && show) KivoShowDib(handle, dib);
    return written;
}

int RunDecode(const std::vector<std::string>& args) {
    DecodeJob job;
    std::string error;
    if (!ParseArguments(args, job, error)) {
        std::fprintf(stderr, "kivoly decode: %s\n", error.c_str());
        return 2;
    }
    std::error_code ec;
    const bool toFolder =
        job.inputs.size() > 1 || fs::is_directory(job.output, ec) || job.output.back() == '/';
    Format singleFormat = Format::Bmp;
    if (!toFolder && !FormatOfPath(job.output, singleFormat)) {
        std::fprintf(stderr, "kivoly decode: %s: the picture must end in .bmp or .png\n",
                     job.output.c_str());
        return 2;
    }
    if (toFolder && !fs::is_directory(job.output, ec) && !fs::create_directories(job.output, ec)) {
        std::fprintf(stderr, "kivoly decode: cannot create the folder %s\n", job.output.c_str());
        return 2;
    }

    if (job.show) {
        std::string reason;
        if (UseDisplay("desktop", reason)) {
            RegisterPictureWindowClass();
        } else {
            std::fprintf(stderr, "kivoly decode: --show: %s; the pictures are not shown\n",
                         reason.c_str());
            job.show = false;
        }
    }

    KivoGrabber* grabber = KivoAlloc();
    if (grabber == nullptr) {
        std::fprintf(stderr, "kivoly decode: out of memory\n");
        return 1;
    }
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;
    KivoGetGrabInfo(grabber, &grabInfo);
    KivoGetProcessInfo(grabber, &processInfo);
    job.picture.Apply(grabInfo, processInfo);
    processInfo.ShowWhileProcessing = 0;
    KivoSetGrabInfo(grabber, &grabInfo);
    KivoSetProcessInfo(grabber, &processInfo);
    // Progress goes to the terminal, not into a window.
    KivoSetShowProgress(grabber, 0);

    auto outputOf = [&](const std::string& input) {
        if (!toFolder) return job.output;
        return (fs::path(job.output) / fs::path(input).stem()).string() +
               (job.folderFormat == Format::Png ? ".png" : ".bmp");
    };
    DecodeReuse reuse;
    auto decode = [&](std::size_t i) {
        const std::string& input = job.inputs[i];
        const std::string output = outputOf(input);
        std::string reason;
        if (!DecodeOne(grabber, input, output, job.show, reuse, reason)) {
            return BatchOutcome{false, "kivoly decode: " + input + ": " + reason};
        }
        char size[48];
        std::snprintf(size, sizeof size, " (%d x %d)", processInfo.Width, processInfo.Height);
        return BatchOutcome{true, input + " -> " + output + size};
    };
    int failures = 0;
    auto report = [&](std::size_t, const BatchOutcome& outcome) {
        std::fprintf(outcome.ok ? stdout : stderr, "%s\n", outcome.text.c_str());
        if (!outcome.ok) ++failures;
    };
    if (job.inputs.size() == 1) {
        // One file: the library's own progress, phase by phase.
        TerminalProgress progress;
        report(0, decode(0));
    } else {
        // The pictures are shown one after the other, from this process.
        const int jobs = job.show ? 1 : job.jobs > 0 ? job.jobs : ProcessorCount();
        RunBatch(job.inputs.size(), jobs, "Decoding", decode, report);
    }
    KivoFreeDib(reuse.dib);
    reuse.yuv.reset();
    KivoFree(grabber);
    CloseDisplay();
    return failures == 0 ? 0 : 1;
}

}  // namespace

KIVOLY_COMMAND("decode", "decode raw captures (.nsr) into BMP or PNG pictures", kUsage, RunDecode);

}  // namespace kivoly::cli
