// kivoly: the stand-alone program. `kivoly COMMAND [options]`; `kivoly --help` lists the
// commands and `kivoly COMMAND --help` explains one.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command.h"
#include "resources/version.h"

namespace kivoly::cli {

std::vector<Command>& Commands() {
    static std::vector<Command> commands;
    return commands;
}

namespace {

void PrintHelp() {
    std::printf(
        "kivoly %s: capture, decode and convert pictures of the parallel-port NTSC digitizer\n\n"
        "Usage: kivoly COMMAND [options]\n\nCommands:\n",
        kVersionText);
    for (const Command& command : Commands()) {
        std::printf("  %-10s %s\n", command.name.c_str(), command.summary.c_str());
    }
    std::printf("\nkivoly COMMAND --help explains a command.\n");
}

}  // namespace
}  // namespace kivoly::cli

int main(int argc, char** argv) {
    using namespace kivoly::cli;
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        PrintHelp();
        return argc < 2 ? 2 : 0;
    }
    if (!std::strcmp(argv[1], "--version")) {
        std::printf("kivoly %s\n", kivoly::kVersionText);
        return 0;
    }
    for (const Command& command : Commands()) {
        if (command.name != argv[1]) continue;
        std::vector<std::string> args(argv + 2, argv + argc);
        for (const std::string& arg : args) {
            if (arg == "--help" || arg == "-h") {
                std::printf("%s", command.usage.c_str());
                return 0;
            }
        }
        return command.run(args);
    }
    std::fprintf(stderr, "kivoly: unknown command '%s' (kivoly --help lists them)\n", argv[1]);
    return 2;
}
