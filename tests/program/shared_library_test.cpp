// The shared library exports exactly kivoly.h and host.h, and C hosts of those headers work.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

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
    const std::string header{std::istreambuf_iterator<char>(stream), {}};
    const std::regex declaration("\nKIVOLY_API [^(]*?(\\w+)\\s*\\(");
    std::set<std::string> names;
    for (std::sregex_iterator at(header.begin(), header.end(), declaration), end; at != end; ++at)
        names.insert((*at)[1]);
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
    ASSERT_GE(declared.size(), 17u);
    EXPECT_TRUE(declared.count("KivoAlloc"));
    EXPECT_TRUE(declared.count("KivoGetLineSize"));
    const std::set<std::string> host = DeclaredExports("host.h");
    EXPECT_TRUE(host.count("KivolyHostSetDevice"));
    EXPECT_TRUE(host.count("KivolyHostLockBitmap"));
    EXPECT_TRUE(host.count("KivolyHostUseDesktopDisplay"));
    declared.insert(host.begin(), host.end());
    EXPECT_EQ(ExportedSymbols(), declared);
}

TEST(SharedLibrary, TheHeadersCompileAsStrictC) {
    test::TempSettingsFolder scratch;
    const std::string source = scratch.File("headers.c");
    std::ofstream(source) << "#include \"kivoly/kivoly.h\"\n#include \"kivoly/host.h\"\n"
                             "int main(void) { return KivoCallbackSlots == 18 ? 0 : 1; }\n";
    for (const char* standard : {"-std=c99", "-std=c11"}) {
        const auto compiled = RunCommand(std::string(KIVOLY_C_COMPILER) + " " + standard +
                                         " -pedantic -Wall -Wextra -Werror -fsyntax-only -I" +
                                         ShellQuote(kIncludeDir) + " " + ShellQuote(source));
        EXPECT_EQ(compiled.exitCode, 0) << standard << "\n" << compiled.output;
    }
}

// Compiles hosts/NAME.c against the shared library alone and runs it with `environment`.
test::CommandResult RunCHost(const test::TempSettingsFolder& scratch, const std::string& name,
                             const std::string& environment) {
    const std::string source = (fs::path(__FILE__).parent_path() / "hosts" / (name + ".c"));
    const std::string program = scratch.File(name);
    const std::string libraryDir = fs::path(kLibrary).parent_path().string();
    const auto compiled = RunCommand(
        std::string(KIVOLY_C_COMPILER) + " -std=c11 -Wall -Wextra -Werror " + KIVOLY_C_FLAGS +
        " -I" + ShellQuote(kIncludeDir) + " " + ShellQuote(source) + " -o " + ShellQuote(program) +
        " " + ShellQuote(kLibrary) + " -Wl,-rpath," + ShellQuote(libraryDir));
    EXPECT_EQ(compiled.exitCode, 0) << compiled.output;
    return RunCommand(environment + " KIVOLY_HOME=" + ShellQuote(scratch.Path()) + " " +
                      ShellQuote(program));
}

TEST(SharedLibrary, ACProgramUsesTheRecordsThroughTheLibrary) {
    test::TempSettingsFolder scratch;  // no settings file: every default applies
    const auto run = RunCHost(scratch, "records_host", "");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "ok\n");
    // Nothing is written when a Grabber is freed.
    EXPECT_FALSE(fs::exists(scratch.File("Kivoly.ini")));
}

TEST(SharedLibrary, ACProgramCapturesFromTheDeviceTheEnvironmentNames) {
    test::TempSettingsFolder scratch;
    const auto run = RunCHost(scratch, "device_host", "KIVOLY_DEVICE=sim");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "ok\n");
    // Without the simulation no device answers: the port dialog is cancelled, nothing hangs.
    const auto none = RunCHost(scratch, "device_host", "KIVOLY_DEVICE=none");
    EXPECT_NE(none.exitCode, 0);
    EXPECT_EQ(none.output, "no picture from the device\n");
}

}  // namespace
}  // namespace kivoly
