#include "output/output_bitmap.h"

#include <cstdio>
#include <memory>
#include <string>

#include "framework/progress_feedback.h"
#include "output/packed_dib.h"
#include "platform/message_box.h"
#include "resources/string_table.h"

namespace kivoly {

namespace {

constexpr int kCreatingImageText = 67;
constexpr int kCannotCreateImageText = 82;
constexpr int kProcessErrorCaption = 83;

std::string FormatSize(int textId, const KivoProcessInfo& info) {
    char format[120];
    LoadResourceString(textId, format, sizeof format);
    char text[160];
    std::snprintf(text, sizeof text, format, info.Width, info.Height);
    return text;
}

}  // namespace

platform::GlobalHandle CreateOutputBitmap(const KivoProcessInfo& processInfo, bool showNotice) {
    std::unique_ptr<ProgressFeedback> notice;
    if (showNotice) {
        notice = std::make_unique<ProgressFeedback>();
        notice->Begin(FormatSize(kCreatingImageText, processInfo).c_str(), 1, false);
    }
    platform::GlobalHandle handle = CreateDib(24, processInfo.Width, processInfo.Height);
    notice.reset();
    if (handle == nullptr) {
        char caption[80];
        LoadResourceString(kProcessErrorCaption, caption, sizeof caption);
        platform::MessageBox(
            nullptr, FormatSize(kCannotCreateImageText, processInfo).c_str(), caption,
            platform::MbOk | platform::MbIconExclamation | platform::MbSystemModal);
    }
    return handle;
}

}  // namespace kivoly
