// The main of every test program. Each test process gets a temporary folder of its own (what
// ::testing::TempDir() returns), because CTest runs test processes in parallel and tests write
// files under fixed names there. Every test starts and leaves the process state as the library
// finds it when it loads, so no test resets what another installed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/process_state.h"

namespace {

class CleanProcessState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { kivoly::ResetProcessState(); }
    void OnTestEnd(const ::testing::TestInfo&) override { kivoly::ResetProcessState(); }
};

}  // namespace

int main(int argc, char** argv) {
    std::string folder = (std::filesystem::temp_directory_path() / "kivoly-test-XXXXXX").string();
    const bool own = ::mkdtemp(folder.data()) != nullptr;
    if (own) ::setenv("TEST_TMPDIR", folder.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new CleanProcessState);
    const int result = RUN_ALL_TESTS();
    if (own) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return result;
}
