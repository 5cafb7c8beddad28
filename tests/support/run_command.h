// Runs a shell command for end-to-end tests and keeps what it printed.
#pragma once

#include <string>

namespace kivoly::test {

struct CommandResult {
    int exitCode = -1;   // the command's exit status; -1 when it did not exit normally
    std::string output;  // standard output and standard error, interleaved
};

CommandResult RunCommand(const std::string& command);

// `text` quoted for the shell.
std::string ShellQuote(const std::string& text);

#ifdef KIVOLY_PROGRAM
// Runs the kivoly program with its settings folder at `home` and no terminal to ask; `before`
// comes first on the command line (variables, limits).
inline CommandResult RunKivoly(const std::string& home, const std::string& arguments,
                               const std::string& before = "") {
    return RunCommand(before + "KIVOLY_HOME=" + ShellQuote(home) + " " + KIVOLY_PROGRAM + " " +
                      arguments + " </dev/null");
}
#endif

}  // namespace kivoly::test
