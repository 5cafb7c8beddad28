// kivoly: the stand-alone program. `kivoly COMMAND [options]`; `kivoly --help` lists the
// commands and `kivoly COMMAND --help` explains one.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command.h"
#include "command_line.h"
#include "kivoly/tools.h"

namespace kivoly::cli {

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

namespace {

void PrintHelp() {
    std::printf("%s\nUsage: kivoly COMMAND [options]\n\nCommands:\n",
                Wrap(std::string("kivoly ") + kivoly::tools::VersionText() +
                     ": capture, decode and convert pictures of the parallel-port NTSC digitizer")
                    .c_str());
    std::vector<OptionHelp> commands;
    for (const Command& command : Commands())
        commands.push_back({command.name, command.summary});
    std::printf("%s\n%s", FormatOptions(commands, 13).c_str(),
                Wrap("kivoly COMMAND --help explains a command. Exit status: 0 done, 1 the work "
                     "failed, 2 the command line cannot be carried out as given.")
                    .c_str());
}

std::vector<std::string> CommandNames() {
    std::vector<std::string> names;
    for (const Command& command : Commands())
        names.push_back(command.name);
    return names;
}

void PrintShortUsage() {
    std::string names;
    for (const std::string& name : CommandNames())
        names += (names.empty() ? "" : ", ") + name;
    std::fprintf(stderr, "Usage: kivoly COMMAND [options]\nCommands: %s\n%s", names.c_str(),
                 "kivoly --help explains more.\n");
}

int Run(int argc, char** argv) {
    if (argc < 2) {
        PrintShortUsage();
        return kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h") {
        PrintHelp();
        return 0;
    }
    if (name == "--version") {
        std::printf("kivoly %s\n", kivoly::tools::VersionText());
        return 0;
    }
    for (const Command& command : Commands()) {
        if (command.name != name) continue;
        const std::vector<std::string> args =
            SplitAttachedValues(std::vector<std::string>(argv + 2, argv + argc));
        for (const std::string& arg : args) {
            if (arg == "--") break;
            if (arg == "--help" || arg == "-h") {
                std::printf("%s", command.usage.c_str());
                return 0;
            }
        }
        return command.run(args);
    }
    const std::string nearest = NearestName(name, CommandNames());
    std::fprintf(stderr, "kivoly: unknown command '%s'%s (kivoly --help lists them)\n",
                 name.c_str(),
                 nearest.empty() ? "" : ("; did you mean '" + nearest + "'?").c_str());
    return kExitUsage;
}

}  // namespace
}  // namespace kivoly::cli

int main(int argc, char** argv) {
    kivoly::tools::RemoveTemporariesOnSignal();
    // Every failure is to end in a message and an exit code, never in an abort.
    try {
        return kivoly::cli::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kivoly: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "kivoly: stopped by an unexpected error\n");
    }
    return kivoly::cli::kExitFailure;
}
