// The main of every test program. Each test process gets a temporary folder of its own (what
// ::testing::TempDir() returns), because CTest runs test processes in parallel and tests write
// files under fixed names there.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    std::string folder = (std::filesystem::temp_directory_path() / "kivoly-test-XXXXXX").string();
    const bool own = ::mkdtemp(folder.data()) != nullptr;
    if (own) ::setenv("TEST_TMPDIR", folder.c_str(), 1);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (own) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    return result;
}
