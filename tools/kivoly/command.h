// The program's commands. Each command file defines one Command and registers it with
// KIVOLY_COMMAND, so adding a command never touches the dispatcher.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kivoly::cli {

struct Command {
    std::string name;
    std::string summary;  // one line for `kivoly --help`
    std::string usage;    // the full text of `kivoly NAME --help`
    // Gets the arguments after the command name; returns the process exit code.
    std::function<int(const std::vector<std::string>&)> run;
};

// All registered commands, in registration order.
std::vector<Command>& Commands();

struct CommandRegistrar {
    explicit CommandRegistrar(Command command) { Commands().push_back(std::move(command)); }
};

}  // namespace kivoly::cli

#define KIVOLY_COMMAND_CAT2(a, b) a##b
#define KIVOLY_COMMAND_CAT(a, b) KIVOLY_COMMAND_CAT2(a, b)
#define KIVOLY_COMMAND(...)                                                         \
    static const ::kivoly::cli::CommandRegistrar KIVOLY_COMMAND_CAT(kivolyCommand_, \
                                                                    __LINE__)({__VA_ARGS__})
