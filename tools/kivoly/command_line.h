// What every command shares on its command line: one wording for errors and one exit code per
// kind, the GNU forms of options with values, and help text laid out the same way.
//
// Exit codes: 0 done; 1 the work was tried and failed (the device, a decode, a file that could
// not be written); 2 the command line cannot be carried out as given (an unknown option, a bad
// value, an input that is missing or not of the kind the command takes), found before any work.
#pragma once

#include <string>
#include <vector>

namespace kivoly::cli {

inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// "kivoly COMMAND: MESSAGE (kivoly COMMAND --help)" on standard error; returns kExitUsage.
int UsageError(const std::string& command, const std::string& message);
// "kivoly COMMAND: MESSAGE" on standard error; returns kExitFailure.
int RunFailure(const std::string& command, const std::string& message);
// "kivoly COMMAND: warning: MESSAGE" on standard error.
void Warn(const std::string& command, const std::string& message);

// Splits "--option=VALUE" and "-oVALUE" / "-qVALUE" into two arguments for the options that
// take a value, so that each command sees one form.
std::vector<std::string> SplitAttachedValues(const std::vector<std::string>& args);

// One option for a command's help: its names and value, and what it does.
struct OptionHelp {
    std::string names;
    std::string text;
};
// The option lines: names from column 3, descriptions in one column wrapped within 79
// characters (names too long for their column get a line of their own).
inline constexpr std::size_t kOptionTextColumn = 24;
std::string FormatOptions(const std::vector<OptionHelp>& options,
                          std::size_t column = kOptionTextColumn);
// A paragraph wrapped within 79 characters, every line indented by `indent`.
std::string Wrap(const std::string& text, std::size_t indent = 0);

// Why a file cannot be written at `path`, checked before any work ("PATH: is a directory",
// "cannot write PATH: the folder DIR does not exist", the system's reason for a folder that
// takes no files); "" when it can.
std::string OutputProblem(const std::string& path);

// The candidate nearest to `typed` by edit distance, or "" when none is close.
std::string NearestName(const std::string& typed, const std::vector<std::string>& candidates);

}  // namespace kivoly::cli
