#include "platform/save_file_dialog.h"

#include <gtest/gtest.h>

namespace kivoly::platform {
namespace {

SaveFileRequest Request() {
    SaveFileRequest r;
    r.filterName = "NTSC Kivoly Raw Data (*.nsr)";
    r.filterPattern = "*.nsr";
    r.maxLength = 80;
    r.defaultExtension = "nsr";
    r.flags = OfnOverwritePrompt | OfnHideReadOnly | OfnPathMustExist;
    return r;
}

struct SaveFileDialogTest : ::testing::Test {
    void SetUp() override { ClearSaveFileRequests(); }
    void TearDown() override { InstallSaveFileResponder(nullptr, nullptr); }
};

TEST_F(SaveFileDialogTest, HeadlessDefaultCancels) {
    std::string name = "unchanged";
    EXPECT_FALSE(GetSaveFileName(Request(), name));
    EXPECT_EQ(name, "unchanged");
    ASSERT_EQ(SaveFileRequests().size(), 1u);
    EXPECT_EQ(SaveFileRequests()[0].filterPattern, "*.nsr");
}

TEST_F(SaveFileDialogTest, ResponderChoosesAndTheDefaultExtensionIsAdded) {
    InstallSaveFileResponder(
        [](const SaveFileRequest&, std::string& name, void* context) {
            name = static_cast<const char*>(context);
            return true;
        },
        const_cast<char*>("/tmp/dir.v2/capture"));
    std::string name;
    ASSERT_TRUE(GetSaveFileName(Request(), name));
    EXPECT_EQ(name, "/tmp/dir.v2/capture.nsr");

    InstallSaveFileResponder(
        [](const SaveFileRequest&, std::string& name, void*) {
            name = "picture.raw";
            return true;
        },
        nullptr);
    ASSERT_TRUE(GetSaveFileName(Request(), name));
    EXPECT_EQ(name, "picture.raw");
}

TEST_F(SaveFileDialogTest, NamesThatDoNotFitAreRefused) {
    InstallSaveFileResponder(
        [](const SaveFileRequest&, std::string& name, void*) {
            name = std::string(77, 'a');  // 81 characters with ".nsr"
            return true;
        },
        nullptr);
    std::string name;
    EXPECT_FALSE(GetSaveFileName(Request(), name));
    InstallSaveFileResponder([](const SaveFileRequest&, std::string&, void*) { return false; },
                             nullptr);
    EXPECT_FALSE(GetSaveFileName(Request(), name));
}

}  // namespace
}  // namespace kivoly::platform
