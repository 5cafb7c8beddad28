// kivoly decode: raw captures (.nsr) to pictures, the way a host drives the library: each raw
// file is decoded as a device capture is and converted as KivoProcYUVToRGB converts it under
// the Grabber's records (the settings file's, with the options on top).
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "command.h"
#include "command_line.h"
#include "display_choice.h"
#include "kivoly/host.h"
#include "kivoly/kivoly.h"
#include "kivoly/tools.h"
#include "picture_options.h"
#include "terminal_progress.h"

namespace kivoly::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "decode";

std::string Usage() {
    std::vector<OptionHelp> options = {
        {"-o, --output PATH", "the picture, or the folder for several raw files"},
        {"--format F", "bmp or png, for pictures written to a folder (default bmp)"},
        {"--show", "show each picture in the picture window"},
        {"-j, --jobs N", "decode N raw files at a time (default: one for each processor)"},
    };
    const std::vector<OptionHelp> picture = PictureOptionsHelp();
    options.insert(options.end(), picture.begin(), picture.end());
    return "Usage: kivoly decode RAW.nsr -o PICTURE [options]\n"
           "       kivoly decode RAW.nsr... -o FOLDER [options]\n\n" +
           Wrap(
               "Decodes raw captures into pictures. PICTURE is a .bmp or .png file; with "
               "several raw files (or a folder as -o) each becomes FOLDER/NAME.bmp (or .png "
               "with --format png). Without --quality each file is decoded at the best quality "
               "its fields give.") +
           "\n" + FormatOptions(options);
}

enum class Format { Bmp, Png };

struct DecodeJob {
    std::vector<std::string> inputs;
    std::string output;
    std::optional<Format> folderFormat;
    bool show = false;
    int jobs = 0;  // 0: one for each processor
    PictureOptions picture;
    bool toFolder = false;
    std::vector<std::string> outputs;  // one picture for each input
    std::vector<int> records;          // the fields each input holds
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
    bool operandsOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (operandsOnly || arg == "-" || arg.empty() || arg[0] != '-') {
            job.inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            operandsOnly = true;
            continue;
        }
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
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (job.inputs.empty()) {
        error = "no raw file given";
        return false;
    }
    if (job.output.empty()) {
        error = "no output given: -o PICTURE, or -o FOLDER for several raw files";
        return false;
    }
    return true;
}

// Decides where each picture goes, refusing what would lose a picture or surprise: a file named
// as the folder of several, two inputs that would write one picture, a format that the name
// contradicts, a folder whose parent is missing. A folder that is missing itself is created.
bool PlanOutputs(DecodeJob& job, std::string& error) {
    std::error_code ec;
    const bool isFolder = fs::is_directory(job.output, ec);
    job.toFolder = job.inputs.size() > 1 || isFolder || job.output.back() == '/';
    if (!job.toFolder) {
        Format format = Format::Bmp;
        if (!FormatOfPath(job.output, format)) {
            error = job.output + ": the picture must end in .bmp or .png";
            return false;
        }
        if (job.folderFormat && *job.folderFormat != format) {
            error = "--format " + std::string(*job.folderFormat == Format::Png ? "png" : "bmp") +
                    " does not match the picture " + job.output;
            return false;
        }
        error = OutputProblem(job.output);
        job.outputs = {job.output};
        return error.empty();
    }
    if (!isFolder && fs::exists(job.output, ec)) {
        error = job.output + " is a file; several raw files need a folder for -o";
        return false;
    }
    Format format = Format::Bmp;
    if (!isFolder && job.output.back() != '/' && FormatOfPath(job.output, format)) {
        error = "several raw files need a folder for -o, not the picture " + job.output;
        return false;
    }
    const std::string extension = job.folderFormat == Format::Png ? ".png" : ".bmp";
    for (const std::string& input : job.inputs) {
        const std::string output =
            (fs::path(job.output) / fs::path(input).stem()).string() + extension;
        for (std::size_t i = 0; i < job.outputs.size(); ++i) {
            if (job.outputs[i] == output) {
                error = job.inputs[i] + " and " + input + " would both become " + output +
                        "; decode them into different folders";
                return false;
            }
        }
        job.outputs.push_back(output);
    }
    if (!isFolder) {
        fs::path folder = fs::path(job.output).lexically_normal();
        if (!folder.has_filename()) folder = folder.parent_path();  // "out/" is "out"
        const fs::path parent = folder.parent_path();
        if (!parent.empty() && !fs::is_directory(parent, ec)) {
            error = "cannot create the folder " + job.output + ": the folder " + parent.string() +
                    " does not exist";
            return false;
        }
        if (!fs::create_directory(job.output, ec) && ec) {
            error = "cannot create the folder " + job.output + ": " + ec.message();
            return false;
        }
        std::printf("%s: folder created\n", job.output.c_str());
    }
    return true;
}

// Decodes one raw file into `outputPath`; false with the reason in `error`.
bool DecodeOne(KivoGrabber* handle, tools::RawFileDecoder& decoder, const std::string& rawPath,
               const std::string& outputPath, bool show, std::string& error) {
    KivoHGlobal dib = decoder.Decode(rawPath, error);
    if (dib == nullptr) return false;
    const bool written = tools::WriteBitmapPicture(dib, outputPath, error);
    if (written && show) KivoShowDib(handle, dib);
    return written;
}

// False when a picture would be written over a raw file of the batch (a raw capture named .png).
// Each file is looked at once, however long the batch.
bool KeepsEveryInput(const DecodeJob& job, std::string& error) {
    std::map<std::pair<dev_t, ino_t>, const std::string*> inputs;
    for (const std::string& input : job.inputs) {
        struct stat info {};
        if (::stat(input.c_str(), &info) == 0)
            inputs.emplace(std::pair(info.st_dev, info.st_ino), &input);
    }
    for (const std::string& output : job.outputs) {
        struct stat info {};
        if (::stat(output.c_str(), &info) != 0) continue;
        const auto found = inputs.find({info.st_dev, info.st_ino});
        if (found != inputs.end()) {
            error = "the picture " + output + " would replace the raw file " + *found->second;
            return false;
        }
    }
    return true;
}

// The desktop display for --show; false (after a warning) when there is none to open.
bool OpenShowDisplay() {
    std::string error;
    if (UseDisplay("desktop", error)) {
        tools::PreparePictureWindow();
        return true;
    }
    Warn(kName, "--show: " + error + "; the pictures are only written");
    return false;
}

int RunDecode(const std::vector<std::string>& args) {
    DecodeJob job;
    std::string error;
    if (!ParseArguments(args, job, error)) return UsageError(kName, error);
    // Every input is looked at before anything is written.
    bool usable = true;
    for (const std::string& input : job.inputs) {
        const tools::RawFileCheck check = tools::CheckRawFile(input);
        if (!check.problem.empty()) {
            RunFailure(kName, check.problem);
            usable = false;
        }
        job.records.push_back(check.records);
    }
    if (!usable) return kExitUsage;
    if (!PlanOutputs(job, error) || !KeepsEveryInput(job, error)) {
        return UsageError(kName, error);
    }
    const bool showing = job.show && OpenShowDisplay();

    KivoGrabber* grabber = KivoAlloc();
    if (grabber == nullptr) return RunFailure(kName, "not enough memory");
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;
    KivoGetGrabInfo(grabber, &grabInfo);
    KivoGetProcessInfo(grabber, &processInfo);
    job.picture.Apply(grabInfo, processInfo);
    processInfo.ShowWhileProcessing = 0;
    KivoSetProcessInfo(grabber, &processInfo);
    // Progress goes to the terminal, not into a window.
    KivoSetShowProgress(grabber, 0);

    auto decoder = std::make_unique<tools::RawFileDecoder>(grabber);
    // The pictures of a batch reach the disk together: each process gathers the ones it wrote
    // and the batch runner has it put them in place every few pictures and at its end.
    const bool batch = job.inputs.size() > 1;
    tools::FileGroup pictures;
    auto decode = [&](std::size_t i) {
        const std::string& input = job.inputs[i];
        BatchOutcome outcome;
        // The file's fields decide the quality unless one was asked for.
        const int given = tools::QualityOfRecords(job.records[i]);
        if (!job.picture.quality) {
            grabInfo.Quality = given;
        } else if (given < *job.picture.quality) {
            outcome.notes = "kivoly " + std::string(kName) + ": warning: " + input + " holds " +
                            std::to_string(job.records[i]) + " field(s); quality " +
                            std::to_string(*job.picture.quality) + " reads " +
                            std::to_string(tools::RecordsForQuality(*job.picture.quality)) +
                            ", so the picture is that of quality " + std::to_string(given) +
                            " or poorer\n";
        }
        KivoSetGrabInfo(grabber, &grabInfo);
        std::string reason;
        std::optional<tools::FileGroup::Joining> joining;
        if (batch) joining.emplace(pictures);
        const std::size_t gathered = pictures.Size();
        outcome.ok = DecodeOne(grabber, *decoder, input, job.outputs[i], showing, reason);
        outcome.pending = pictures.Size() > gathered;
        if (outcome.ok) {
            char line[64];
            std::snprintf(line, sizeof line, " (quality %d, %d x %d)", grabInfo.Quality,
                          processInfo.Width, processInfo.Height);
            outcome.text = input + " -> " + job.outputs[i] + line;
        } else {
            outcome.text = "kivoly " + std::string(kName) + ": " + input + ": " + reason;
        }
        return outcome;
    };
    // Each pending picture joined the group as its item ran, so the group's errors are theirs
    // in the same order.
    auto settle = [&](std::vector<std::pair<std::size_t, BatchOutcome>>& pending) {
        pictures.Commit();
        const std::vector<std::string>& errors = pictures.Errors();
        for (std::size_t k = 0; k < pending.size() && k < errors.size(); ++k) {
            if (errors[k].empty()) continue;
            BatchOutcome& outcome = pending[k].second;
            outcome.ok = false;
            outcome.text = "kivoly " + std::string(kName) + ": " + job.inputs[pending[k].first] +
                           ": " + errors[k];
        }
    };
    int failures = 0;
    auto report = [&](std::size_t, const BatchOutcome& outcome) {
        std::fputs(outcome.notes.c_str(), stderr);
        std::fprintf(outcome.ok ? stdout : stderr, "%s\n", outcome.text.c_str());
        if (!outcome.ok) ++failures;
    };
    if (job.inputs.size() == 1) {
        // One file: the library's own progress, phase by phase.
        TerminalProgress progress(stderr, false, "Decoding");
        report(0, decode(0));
    } else {
        // Shown pictures come one after the other, from this process.
        const int jobs = showing ? 1 : job.jobs > 0 ? job.jobs : ProcessorCount();
        // What the library has left to paint is painted once, here, before the workers are
        // forked: each of them would paint it again at its first picture, copying the screen's
        // pages from this process.
        KivoMessage message;
        while (KivolyHostPeekMessage(&message, 1)) {
            KivolyHostTranslateMessage(&message);
            KivolyHostDispatchMessage(&message);
        }
        RunBatch(job.inputs.size(), jobs, "Decoding", decode, report, settle);
    }
    decoder.reset();
    KivoFree(grabber);
    if (showing) CloseDisplay();
    return failures == 0 ? 0 : kExitFailure;
}

}  // namespace

KIVOLY_COMMAND("decode", "decode raw captures (.nsr) into BMP or PNG pictures", Usage(), RunDecode);

}  // namespace kivoly::cli
