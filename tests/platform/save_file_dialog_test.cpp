#include "platform/save_file_dialog.h"

#include <gtest/gtest.h>

namespace kivoly::platform {
namespace {

// Answers with the name in `context`, or declines when there is none.
bool Answer(const SaveFileRequest&, std::string& name, void* context) {
    if (!context) return false;
    name = *static_cast<const std::string*>(context);
    return true;
}

TEST(SaveFileDialog, TheResponderChoosesTheDefaultExtensionIsAddedAndLongNamesAreRefused) {
    SaveFileRequest request;
    request.filterPattern = "*.nsr";
    request.maxLength = 80;
    request.defaultExtension = "nsr";
    std::string name = "unchanged";
    EXPECT_FALSE(GetSaveFileName(request, name));  // headless without a responder: cancelled
    const struct {
        const char* answer;
        const char* chosen;  // null: refused
    } cases[] = {
        {"/tmp/dir.v2/capture", "/tmp/dir.v2/capture.nsr"},
        {"picture.raw", "picture.raw"},
        {"", nullptr},
        {nullptr, nullptr},
    };
    for (const auto& c : cases) {
        std::string answer = c.answer ? c.answer : "";
        InstallSaveFileResponder(Answer, c.answer ? &answer : nullptr);
        name = "unchanged";
        EXPECT_EQ(GetSaveFileName(request, name), c.chosen != nullptr) << answer;
        EXPECT_EQ(name, c.chosen ? c.chosen : "unchanged");
    }
    // 79 characters with ".nsr" fit the 80 of the caller's buffer, 80 do not.
    std::string answer(75, 'a');
    InstallSaveFileResponder(Answer, &answer);
    EXPECT_TRUE(GetSaveFileName(request, name));
    answer += 'a';
    EXPECT_FALSE(GetSaveFileName(request, name));
    InstallSaveFileResponder(nullptr, nullptr);
}

}  // namespace
}  // namespace kivoly::platform
