#include "platform/internal/window/desktop_display.h"

#include <chrono>
#include <set>
#include <vector>

#include "platform/internal/window/window_system.h"
#include "platform/key_state.h"
#include "platform/window/input.h"
#include "platform/window/input_injection.h"
#include "platform/window/message_queue.h"

namespace kivoly::platform {

namespace {

constexpr int64_t kFrameMs = 16;
// Without a timer a wait still wakes now and then, to show what was drawn meanwhile.
constexpr int kIdleWaitMs = 100;
// How long the desktop may take to give a window we activated the focus (or to refuse it).
constexpr int64_t kActivationAnswerMs = 500;

int64_t RealMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The client area of a top-level window in screen co-ordinates.
Rect ClientOnScreen(const WindowData& data) {
    Point origin = ClientOrigin(data);
    Rect client = ClientArea(data);
    return {origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()};
}

bool IsFullScreenPopup(const WindowData& data) {
    return (data.style & WsPopup) && (data.style & WsCaption) != WsCaption &&
           ClientOnScreen(data) == Screen().Bounds();
}

}  // namespace

DesktopDisplay::DesktopDisplay(std::unique_ptr<NativeWindows> natives, std::string fallbackTitle)
    : natives_(std::move(natives)),
      fallbackTitle_(std::move(fallbackTitle)),
      area_(natives_->DesktopArea()) {
    pointer_ = System().cursorPos;
}

DesktopDisplay::~DesktopDisplay() {
    for (auto& [window, shown] : shown_)
        natives_->Destroy(shown.native);
}

int DesktopDisplay::NativeWindowOf(KivoHWnd window) const {
    auto found = shown_.find(window);
    return found == shown_.end() ? 0 : found->second.native;
}

KivoHWnd DesktopDisplay::WindowOfNative(int native) const {
    for (const auto& [window, shown] : shown_) {
        if (shown.native == native) return window;
    }
    return nullptr;
}

void DesktopDisplay::SynchroniseWindow(KivoHWnd window, Shown* shown) {
    WindowData* data = FindWindow(window);
    if (!data) return;
    bool visible = (data->style & WsVisible) != 0;
    Rect client = ClientOnScreen(*data);
    std::string title = data->title.empty() ? fallbackTitle_ : data->title;
    if (!shown) {
        // A window gets its native window when it first shows.
        if (!visible) return;
        NativeWindowLook look;
        look.client = OnDesktop(client);
        look.title = title.c_str();
        look.framed = (data->style & WsCaption) == WsCaption;
        look.resizable = (data->style & WsMaximizeBox) && look.framed;
        look.topmost = (data->exStyle & WsExTopmost) != 0;
        look.fullScreen = IsFullScreenPopup(*data);
        int native = natives_->Create(look);
        if (!native) return;
        shown = &shown_[window];
        shown->native = native;
        shown->client = client;
        shown->title = title;
    }
    if (title != shown->title) {
        natives_->SetTitle(shown->native, title.c_str());
        shown->title = title;
    }
    if (client != shown->client) {
        natives_->SetClientArea(shown->native, OnDesktop(client));
        shown->client = client;
    }
    if (data->owner != shown->owner) {
        auto owner = shown_.find(data->owner);
        natives_->SetOwner(shown->native, owner == shown_.end() ? 0 : owner->second.native);
        shown->owner = data->owner;
    }
    if (visible != shown->visible) {
        natives_->Show(shown->native, visible);
        shown->visible = visible;
    }
    if (data->minimized != shown->minimized) {
        if (data->minimized) {
            natives_->Minimize(shown->native);
        } else {
            natives_->Restore(shown->native);
        }
        shown->minimized = data->minimized;
    }
}

void DesktopDisplay::Synchronise() {
    WindowSystem& system = System();
    WindowData* desktop = FindWindow(system.desktop);
    std::set<KivoHWnd> alive;
    if (desktop) {
        // Bottom first, so that owners have their native window before the windows they own.
        for (KivoHWnd window : std::vector<KivoHWnd>(desktop->children)) {
            alive.insert(window);
            auto found = shown_.find(window);
            SynchroniseWindow(window, found == shown_.end() ? nullptr : &found->second);
        }
    }
    for (auto it = shown_.begin(); it != shown_.end();) {
        if (alive.count(it->first)) {
            ++it;
            continue;
        }
        natives_->Destroy(it->second.native);
        it = shown_.erase(it);
    }
    KivoHWnd active = GetActiveWindow();
    if (active != activeShown_) {
        auto found = shown_.find(active);
        if (found != shown_.end() && found->second.visible) {
            natives_->Activate(found->second.native);
            activating_ = found->second.native;
            activatingSinceMs_ = RealMs();
        }
        activeShown_ = active;
    }
}

void DesktopDisplay::ShowPixelsOf(const Shown& shown) {
    const Surface& screen = Screen();
    const Rect& client = shown.client;
    if (client.IsEmpty()) return;
    Rect inside = IntersectRect(client, screen.Bounds());
    if (inside == client && !screen.IsPaletted()) {
        natives_->ShowPixels(shown.native, screen.Row(client.top) + client.left, client.Width(),
                             client.Height(), screen.Width());
        return;
    }
    // Partly off the screen, or on an emulated palette display: a copy, black where no screen is.
    std::vector<uint32_t> pixels(static_cast<size_t>(client.Width()) * client.Height(), 0);
    for (int y = inside.top; y < inside.bottom; ++y) {
        uint32_t* out = pixels.data() + static_cast<size_t>(y - client.top) * client.Width();
        for (int x = inside.left; x < inside.right; ++x)
            out[x - client.left] = screen.Pixel(x, y);
    }
    natives_->ShowPixels(shown.native, pixels.data(), client.Width(), client.Height(),
                         client.Width());
}

void DesktopDisplay::PresentNow() {
    Synchronise();
    for (const auto& [window, shown] : shown_) {
        if (shown.visible && !shown.minimized) ShowPixelsOf(shown);
    }
    natives_->SetPointer(GetCursor(), IsCursorShown());
    // A program that moved the cursor itself (a drag puts it back) moves the real one too.
    Point cursor = System().cursorPos;
    if (cursor != pointer_) {
        natives_->WarpPointer({cursor.x + area_.left, cursor.y + area_.top});
        pointer_ = cursor;
    }
    lastPresentMs_ = RealMs();
    dirty_ = false;
}

void DesktopDisplay::Present() {
    dirty_ = true;
    if (RealMs() - lastPresentMs_ >= kFrameMs) PresentNow();
}

void DesktopDisplay::HandleWindowEvent(const NativeEvent& event, KivoHWnd window, Shown& shown) {
    switch (event.kind) {
        case NativeEvent::Moved: {
            // Where the window manager puts a window while maximising or minimising it is
            // not where the window stays.
            if (shown.leavingMaximized || shown.minimized) break;
            Point client{event.position.x - area_.left, event.position.y - area_.top};
            int dx = client.x - shown.client.left;
            int dy = client.y - shown.client.top;
            if (dx == 0 && dy == 0) break;
            shown.client = shown.client.Offset(dx, dy);
            Rect rect;
            GetWindowRect(window, rect);
            MoveWindow(window, rect.left + dx, rect.top + dy, rect.Width(), rect.Height(), true);
            break;
        }
        case NativeEvent::Resized:
            // The window system decides the size; a size the window manager imposes on a
            // window in its normal state is taken back.
            if (!shown.leavingMaximized && !shown.minimized &&
                (event.position.x != shown.client.Width() ||
                 event.position.y != shown.client.Height())) {
                natives_->SetClientArea(shown.native, OnDesktop(shown.client));
            }
            dirty_ = true;
            break;
        case NativeEvent::FocusGained:
            // The focus that follows our own requests arrives late: until the last one is
            // answered (or the window manager had time to refuse it), older answers are stale.
            if (activating_ && RealMs() - activatingSinceMs_ < kActivationAnswerMs) {
                if (event.window == activating_) activating_ = 0;
                break;
            }
            activating_ = 0;
            if (IsWindowEnabled(window)) {
                if (GetActiveWindow() != window) SetActiveWindow(window);
                activeShown_ = GetActiveWindow();
            } else {
                // A disabled window waits for a window it owns (a modal dialog): that one comes.
                for (const auto& [other, otherShown] : shown_) {
                    if (GetParent(other) == window && otherShown.visible &&
                        IsWindowEnabled(other)) {
                        natives_->Activate(otherShown.native);
                        break;
                    }
                }
            }
            break;
        case NativeEvent::Minimized:
            shown.minimized = true;
            if (!IsIconic(window)) SendMessage(window, WmSysCommand, ScMinimize, 0);
            break;
        case NativeEvent::Maximized:
            // The maximise box switches as the window system's own does, between the window's
            // maximised and restored states, each of the size the window system gives it. The
            // native window does not stay maximised: there it could neither be moved nor
            // keep its size.
            shown.leavingMaximized = true;
            natives_->Restore(shown.native);
            natives_->SetClientArea(shown.native, OnDesktop(shown.client));
            SendMessage(window, WmSysCommand, IsZoomed(window) ? ScRestore : ScMaximize, 0);
            break;
        case NativeEvent::Restored:
            if (shown.leavingMaximized) {
                shown.leavingMaximized = false;
                natives_->SetClientArea(shown.native, OnDesktop(shown.client));
            } else if (shown.minimized) {
                shown.minimized = false;
                if (IsIconic(window)) SendMessage(window, WmSysCommand, ScRestore, 0);
            }
            break;
        case NativeEvent::CloseRequested:
            // While a modal dialog runs its owner is disabled and cannot be closed.
            if (IsWindowEnabled(window)) SendMessage(window, WmSysCommand, ScClose, 0);
            break;
        default:
            break;
    }
    // What the window did about it shows at once (a refused change is undone).
    dirty_ = true;
}

void DesktopDisplay::Handle(const NativeEvent& event) {
    if (event.kind == NativeEvent::Quit) {
        PostQuitMessage(0);
        return;
    }
    if (event.kind == NativeEvent::KeyDown || event.kind == NativeEvent::KeyUp) {
        // Keys go to the window system's focus, whichever native window the desktop gave them.
        if (event.code) InjectKey(event.code, event.kind == NativeEvent::KeyDown);
        return;
    }
    KivoHWnd window = WindowOfNative(event.window);
    auto found = shown_.find(window);
    if (!window || found == shown_.end()) return;
    Shown& shown = found->second;
    if (event.kind == NativeEvent::Exposed) {
        dirty_ = true;
        return;
    }
    if (event.kind != NativeEvent::MouseMove && event.kind != NativeEvent::ButtonDown &&
        event.kind != NativeEvent::ButtonUp) {
        HandleWindowEvent(event, window, shown);
        return;
    }
    Point screen{shown.client.left + event.position.x, shown.client.top + event.position.y};
    if (event.kind == NativeEvent::ButtonDown && IsWindowEnabled(window) &&
        GetTopLevel(WindowFromPoint(screen)) != window) {
        // The desktop raised the window clicked on; the window system follows, so that the
        // press reaches it.
        BringWindowToTop(window);
    }
    if (event.kind == NativeEvent::MouseMove) {
        InjectMouseMove(screen, window);
    } else if (event.code) {
        InjectMouseButton(event.code, event.kind == NativeEvent::ButtonDown, screen, window);
    }
    pointer_ = System().cursorPos;
}

void DesktopDisplay::PollInput() {
    NativeEvent event;
    while (natives_->NextEvent(event, 0))
        Handle(event);
    if (dirty_ && RealMs() - lastPresentMs_ >= kFrameMs) PresentNow();
}

bool DesktopDisplay::WaitForInput(int timeoutMs) {
    if (dirty_) PresentNow();
    NativeEvent event;
    if (natives_->NextEvent(event, timeoutMs < 0 ? kIdleWaitMs : timeoutMs)) {
        Handle(event);
        PollInput();
    }
    if (dirty_) PresentNow();
    return true;
}

}  // namespace kivoly::platform
