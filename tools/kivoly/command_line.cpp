#include "command_line.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace kivoly::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLineWidth = 79;
constexpr std::size_t kNamesIndent = 2;

// The long options that take a value, in every command.
constexpr const char* kValueOptions[] = {
    "--output", "--quality", "--format", "--size",  "--device",     "--video",    "--fault",
    "--frames", "--folder",  "--hue",    "--color", "--brightness", "--contrast", "--sharpness",
    "--gamma",  "--red",     "--green",  "--blue",  "--jobs"};
constexpr const char* kShortValueOptions[] = {"-o", "-q", "-j"};

}  // namespace

int UsageError(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "kivoly %s: %s (kivoly %s --help)\n", command.c_str(), message.c_str(),
                 command.c_str());
    return kExitUsage;
}

int RunFailure(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "kivoly %s: %s\n", command.c_str(), message.c_str());
    return kExitFailure;
}

void Warn(const std::string& command, const std::string& message) {
    std::fprintf(stderr, "kivoly %s: warning: %s\n", command.c_str(), message.c_str());
}

std::vector<std::string> SplitAttachedValues(const std::vector<std::string>& args) {
    std::vector<std::string> split;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {  // everything after it is an operand
            split.insert(split.end(), args.begin() + static_cast<long>(i), args.end());
            break;
        }
        const std::size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos &&
            std::find(std::begin(kValueOptions), std::end(kValueOptions), arg.substr(0, equals)) !=
                std::end(kValueOptions)) {
            split.push_back(arg.substr(0, equals));
            split.push_back(arg.substr(equals + 1));
            continue;
        }
        if (arg.size() > 2 &&
            std::find(std::begin(kShortValueOptions), std::end(kShortValueOptions),
                      arg.substr(0, 2)) != std::end(kShortValueOptions)) {
            split.push_back(arg.substr(0, 2));
            split.push_back(arg.substr(2));
            continue;
        }
        split.push_back(arg);
    }
    return split;
}

std::string Wrap(const std::string& text, std::size_t indent) {
    std::istringstream words(text);
    std::string out, line, word;
    while (words >> word) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > kLineWidth) {
            out += std::string(indent, ' ') + line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) out += std::string(indent, ' ') + line + "\n";
    return out;
}

std::string FormatOptions(const std::vector<OptionHelp>& options, std::size_t column) {
    std::string out;
    for (const OptionHelp& option : options) {
        std::string names = std::string(kNamesIndent, ' ') + option.names;
        const std::string text = Wrap(option.text, column);
        if (names.size() + 1 > column) {
            out += Wrap(option.names, kNamesIndent) + text;
        } else {
            names.resize(column, ' ');
            out += names + text.substr(column);
        }
    }
    return out;
}

std::string OutputProblem(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return path + ": is a directory";
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder.push_back('.');  // not = ".": GCC 12 warns falsely of overlap at -O3
    if (!fs::is_directory(folder, ec)) {
        return "cannot write " + path + ": the folder " + folder + " does not exist";
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        return "cannot write " + path + ": " + std::strerror(errno);
    }
    return "";
}

std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates) {
    std::string best;
    std::size_t bestDistance = 3;  // more edits than this is a different word
    for (const std::string& candidate : candidates) {
        // Levenshtein distance, one row at a time.
        std::vector<std::size_t> row(candidate.size() + 1);
        for (std::size_t j = 0; j < row.size(); ++j)
            row[j] = j;
        for (std::size_t i = 1; i <= typed.size(); ++i) {
            std::size_t diagonal = row[0];
            row[0] = i;
            for (std::size_t j = 1; j <= candidate.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1,
                                   diagonal + (typed[i - 1] == candidate[j - 1] ? 0 : 1)});
                diagonal = above;
            }
        }
        // A prefix of a command ("dec") is as good as a near miss.
        const std::size_t distance =
            candidate.rfind(typed, 0) == 0 && typed.size() >= 2 ? 1 : row.back();
        if (distance < bestDistance) {
            bestDistance = distance;
            best = candidate;
        }
    }
    return best;
}

}  // namespace kivoly::cli
