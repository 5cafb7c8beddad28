#include "framework/window_object.h"

#include <gtest/gtest.h>

#include <vector>

#include "framework/window_classes.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly {
namespace {

using namespace platform;

// An object of the setup class that records what reaches it and may refuse creation.
class Recorder : public WindowObject {
  public:
    explicit Recorder(bool refuse) : refuse_(refuse) {
        RegisterFrameworkClass(FrameworkClass::Setup);
        hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::Setup), "Setup",
                            WsPopup | WsVisible, 10, 10, 50, 50, nullptr, 0, this);
    }
    ~Recorder() override { DestroyOwnWindow(); }

    LResult WindowProc(uint32_t message, WParam first, LParam second) override {
        seen.push_back(message);
        if (message == WmCreate) {
            handleDuringCreate = hwnd;
            return refuse_ ? -1 : 0;
        }
        return DefaultProc(message, first, second);
    }

    std::vector<uint32_t> seen;
    KivoHWnd handleDuringCreate = reinterpret_cast<KivoHWnd>(1);

  private:
    bool refuse_;
};

TEST(WindowObject, BoundFromTheCreationMessageUntilTheWindowGoesAndNotAtAllWhenRefused) {
    test::WindowSession session;
    Recorder recorder(false);
    ASSERT_NE(recorder.hwnd, nullptr);
    // Nothing reached the object before the creation message, which comes before the handle
    // is stored.
    ASSERT_FALSE(recorder.seen.empty());
    EXPECT_EQ(recorder.seen.front(), WmCreate);
    EXPECT_EQ(recorder.handleDuringCreate, nullptr);
    EXPECT_EQ(ObjectFromWindow(recorder.hwnd), &recorder);

    KivoHWnd window = recorder.hwnd;
    DestroyWindow(window);
    EXPECT_EQ(recorder.hwnd, nullptr);
    EXPECT_EQ(recorder.seen.back(), WmNcDestroy);
    EXPECT_EQ(ObjectFromWindow(window), nullptr);

    // A refused creation leaves no handle, and the thin operations do nothing.
    Recorder refused(true);
    EXPECT_EQ(refused.hwnd, nullptr);
    refused.Show(SwShow);
    refused.Update();
    EXPECT_EQ(refused.GetWindow(), nullptr);
    EXPECT_EQ(WindowFromPoint({20, 20}), GetDesktopWindow());
}

}  // namespace
}  // namespace kivoly
