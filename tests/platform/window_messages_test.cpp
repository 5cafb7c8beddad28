// The window system's messages: what creation and destruction send, in which order the queue
// hands messages out, timers, paint, quit, accelerators and character translation.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/timers.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly::platform {
namespace {

struct Seen {
    KivoHWnd window;
    uint32_t message;
    WParam first;
};

std::vector<Seen> gSeen;
void* gCreateParam = nullptr;
bool gRefuseCreate = false;

LResult RecordingProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    gSeen.push_back({window, message, first});
    if (message == WmCreate) {
        gCreateParam = reinterpret_cast<const CreateRecord*>(second)->createParam;
        return gRefuseCreate ? -1 : 0;
    }
    if (message == WmPaint) return 0;  // never paints: dispatching validates all the same
    return DefWindowProc(window, message, first, second);
}

std::vector<uint32_t> MessagesOf(KivoHWnd window) {
    std::vector<uint32_t> ids;
    for (const Seen& seen : gSeen) {
        if (seen.window == window) ids.push_back(seen.message);
    }
    return ids;
}

class WindowMessagesTest : public ::testing::Test {
  protected:
    WindowMessagesTest() {
        gSeen.clear();
        gRefuseCreate = false;
        RegisterClass({"Recording", RecordingProc});
    }

    KivoHWnd MakeTopLevel(int x = 100, int y = 100) {
        return CreateWindow(0, "Recording", "Top", WsPopup | WsVisible, x, y, 200, 150, nullptr, 0,
                            nullptr);
    }

    // Takes out every waiting message, dispatching it, and lists them.
    std::vector<uint32_t> Drain() {
        std::vector<uint32_t> ids;
        Message message;
        while (PeekMessage(message, nullptr, 0, 0, PmRemove)) {
            ids.push_back(message.message);
            DispatchMessage(message);
        }
        return ids;
    }

    test::WindowSession session;
};

TEST_F(WindowMessagesTest, CreationCarriesTheParameterAndDestructionReachesChildrenInOrder) {
    int marker = 0;
    KivoHWnd parent = CreateWindow(0, "Recording", "Parent", WsPopup | WsVisible, 10, 10, 100, 100,
                                   nullptr, 0, &marker);
    ASSERT_NE(parent, nullptr);
    EXPECT_EQ(gCreateParam, &marker);
    std::vector<uint32_t> created = MessagesOf(parent);
    ASSERT_GE(created.size(), 5u);
    EXPECT_EQ(std::vector<uint32_t>(created.begin(), created.begin() + 5),
              (std::vector<uint32_t>{WmNcCreate, WmCreate, WmSize, WmMove, WmShowWindow}));

    KivoHWnd child =
        CreateWindow(0, "Recording", "", WsChild | WsVisible, 5, 5, 20, 20, parent, 42, nullptr);
    gSeen.clear();
    EXPECT_TRUE(DestroyWindow(parent));
    std::vector<std::pair<KivoHWnd, uint32_t>> order;
    for (const Seen& seen : gSeen) {
        if (seen.message == WmDestroy || seen.message == WmNcDestroy) {
            order.push_back({seen.window, seen.message});
        }
    }
    EXPECT_EQ(
        order,
        (std::vector<std::pair<KivoHWnd, uint32_t>>{
            {parent, WmDestroy}, {child, WmDestroy}, {child, WmNcDestroy}, {parent, WmNcDestroy}}));
    // Stale handles are refused, never reused.
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(PostMessage(parent, WmUser, 0, 0));
    EXPECT_FALSE(SetProp(parent, "x", &marker));
    Point point;
    EXPECT_FALSE(ScreenToClient(child, point));
    KivoHWnd next = MakeTopLevel();
    EXPECT_NE(next, parent);
    EXPECT_NE(next, child);

    gRefuseCreate = true;
    EXPECT_EQ(MakeTopLevel(), nullptr);
}

TEST_F(WindowMessagesTest, QueueOrderIsPostedInputPaintTimersThenQuit) {
    KivoHWnd window = MakeTopLevel();
    Drain();
    ASSERT_EQ(GetFocus(), window);
    SetTimer(window, 7, 10);
    session.AdvanceMs(20);
    InvalidateRect(window, nullptr, true);
    InjectKey('Q', true);
    PostMessage(window, WmUser, 1, 0);
    PostMessage(window, WmUser + 1, 2, 0);
    EXPECT_EQ(Drain(), (std::vector<uint32_t>{WmUser, WmUser + 1, WmKeyDown, WmPaint, WmTimer}));
    EXPECT_TRUE(Drain().empty());
    // Quit comes once the posted messages are taken and ends GetMessage with its code.
    PostQuitMessage(3);
    PostMessage(window, WmUser, 0, 0);
    Message message;
    EXPECT_EQ(GetMessage(message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WmUser);
    EXPECT_EQ(GetMessage(message, nullptr, 0, 0), 0);
    EXPECT_EQ(message.wParam, 3u);
    EXPECT_FALSE(PeekMessage(message, nullptr, 0, 0, PmRemove));
}

TEST_F(WindowMessagesTest, PaintFollowsInvalidationAndStaysUntilDispatched) {
    KivoHWnd window = MakeTopLevel();
    Drain();
    Message message;
    EXPECT_FALSE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    Rect part{10, 10, 30, 30};
    InvalidateRect(window, &part, false);
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    EXPECT_EQ(message.message, WmPaint);
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    EXPECT_EQ(message.message, WmPaint);  // taking it out does not validate
    DispatchMessage(message);
    EXPECT_FALSE(PeekMessage(message, nullptr, 0, 0, PmRemove));
}

TEST_F(WindowMessagesTest, TimersComeThroughTheQueueOncePerPeriod) {
    KivoHWnd window = MakeTopLevel();
    Drain();
    SetTimer(window, 302, 100);
    session.AdvanceMs(50);
    EXPECT_TRUE(Drain().empty());
    session.AdvanceMs(50);
    EXPECT_EQ(Drain(), (std::vector<uint32_t>{WmTimer}));
    EXPECT_TRUE(Drain().empty());
    session.AdvanceMs(350);  // late: one message, not three
    EXPECT_EQ(Drain(), (std::vector<uint32_t>{WmTimer}));
    EXPECT_EQ(gSeen.back().first, 302u);

    // GetMessage waits for the next timer (the virtual clock moves on).
    Message message;
    EXPECT_EQ(GetMessage(message, nullptr, 0, 0), 1);
    EXPECT_EQ(message.message, WmTimer);
    EXPECT_TRUE(KillTimer(window, 302));
    session.AdvanceMs(500);
    EXPECT_TRUE(Drain().empty());
    // Nothing can ever arrive on a headless display: GetMessage says so instead of hanging.
    EXPECT_EQ(GetMessage(message, nullptr, 0, 0), -1);
}

TEST_F(WindowMessagesTest, PeekFiltersByWindowAndRangeAndCanLeaveMessages) {
    KivoHWnd a = MakeTopLevel(0, 0);
    KivoHWnd b = MakeTopLevel(300, 0);
    KivoHWnd child =
        CreateWindow(0, "Recording", "", WsChild | WsVisible, 0, 0, 10, 10, a, 1, nullptr);
    Drain();
    PostMessage(b, WmUser, 0, 0);
    PostMessage(child, WmUser + 5, 0, 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message, a, 0, 0, PmNoRemove));
    EXPECT_EQ(message.hwnd, child);
    ASSERT_TRUE(PeekMessage(message, nullptr, WmUser + 1, WmUser + 9, PmRemove));
    EXPECT_EQ(message.message, WmUser + 5);
    EXPECT_FALSE(PeekMessage(message, a, 0, 0, PmRemove));
    EXPECT_EQ(Drain(), (std::vector<uint32_t>{WmUser}));
}

TEST_F(WindowMessagesTest, QueueKeyStateChangesWhenTheMessageIsTakenOut) {
    KivoHWnd window = MakeTopLevel();
    Drain();
    InjectKey(VkShift, true);
    EXPECT_TRUE(IsKeyDownNow(VkShift));
    EXPECT_GE(GetKeyState(VkShift), 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmNoRemove));
    EXPECT_GE(GetKeyState(VkShift), 0);
    ASSERT_TRUE(PeekMessage(message, nullptr, 0, 0, PmRemove));
    EXPECT_EQ(message.hwnd, window);
    EXPECT_LT(GetKeyState(VkShift), 0);
    InjectKey(VkShift, false);
    Drain();
    EXPECT_GE(GetKeyState(VkShift), 0);
    EXPECT_FALSE(IsKeyDownNow(VkShift));
}

}  // namespace
}  // namespace kivoly::platform
