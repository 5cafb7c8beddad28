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

}  // namespace kivoly::test
