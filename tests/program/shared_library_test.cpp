// The shared library exports exactly kivoly.h and host.h, and C hosts of those headers work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "support/run_command.h"
#include "support/temp_settings_folder.h"

namespace kivoly {
namespace {

namespace fs = std::filesystem;
using test::RunCommand;
using test::ShellQuote;

const std::string kIncludeDir = KIVOLY_INCLUDE_DIR;
const std::string kLibrary = KIVOLY_SHARED_LIBRARY;

// A declaration starts a line with KIVOLY_API; its name is the last word before the "(".
std::set<std::string> DeclaredExports(const std::string& file) {
    std::ifstream stream(kIncludeDir + "/kivoly/" + file);
    std::set<std::string> names;
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("KIVOLY_API ", 0) != 0) continue;
        const std::string head = line.substr(0, line.find('('));
        names.insert(head.substr(head.find_last_of(" *") + 1));
    }
    return names;
}

std::set<std::string> ExportedSymbols() {
    const auto nm = RunCommand("nm -D --defined-only -j " + ShellQuote(kLibrary));
    EXPECT_EQ(nm.exitCode, 0) << nm.output;
    std::set<std::string> names;
    std::istringstream lines(nm.output);
    for (std::string name; lines >> name;)
        names.insert(name.substr(0, name.find('@')));
    return names;
}

TEST(SharedLibrary, ExportsExactlyTheDeclarationsOfTheHeaders) {
    std::set<std::string> declared = DeclaredExports("kivoly.h");
    const std::set<std::string> host = DeclaredExports("host.h");
    declared.insert(host.begin(), host.end());
    EXPECT_TRUE(declared.count("KivoAlloc") && declared.count("KivolyHostLockBitmap"));
    EXPECT_EQ(ExportedSymbols(), declared);
}

// hosts/c_host.c, built as strict C99 against the shared library alone.
TEST(SharedLibrary, ACHostUsesTheRecordsTheWindowAndTheDevice) {
    test::TempSettingsFolder scratch;  // no settings file: every default applies
    const std::string source = fs::path(__FILE__).parent_path() / "hosts" / "c_host.c";
    const std::string host = ShellQuote(scratch.File("c_host"));
    const auto compiled =
        RunCommand(std::string(KIVOLY_C_COMPILER) + " -std=c99 -pedantic -Wall -Wextra -Werror " +
                   KIVOLY_C_FLAGS + " -I" + ShellQuote(kIncludeDir) + " " + ShellQuote(source) +
                   " -o " + host + " " + ShellQuote(kLibrary) + " -Wl,-rpath," +
                   ShellQuote(fs::path(kLibrary).parent_path()));
    ASSERT_EQ(compiled.exitCode, 0) << compiled.output;
    const std::string home = " KIVOLY_HOME=" + ShellQuote(scratch.Path()) + " ";
    const auto run = RunCommand("KIVOLY_DEVICE=sim" + home + host);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "ok\n");
    // Nothing is written when a Grabber is freed.
    EXPECT_FALSE(fs::exists(scratch.File("Kivoly.ini")));
    // Without the simulation no device answers: the port dialog is cancelled, nothing hangs.
    const auto none = RunCommand("KIVOLY_DEVICE=none" + home + host);
    EXPECT_NE(none.exitCode, 0);
    EXPECT_EQ(none.output, "no picture from the device\n");
}

}  // namespace
}  // namespace kivoly
