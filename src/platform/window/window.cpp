#include "platform/window/window.h"

#include <algorithm>
#include <cstring>

#include "platform/internal/window/window_system.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/timers.h"

namespace kivoly::platform {

namespace {

constexpr int kDefaultX = 40;
constexpr int kDefaultY = 40;
constexpr int kDefaultWidth = 400;
constexpr int kDefaultHeight = 300;

Rect ScreenWindowRect(const WindowData& data) {
    Point origin = WindowOrigin(data);
    return {origin.x, origin.y, origin.x + data.rect.Width(), origin.y + data.rect.Height()};
}

void SendSizeAndMove(WindowData& data) {
    KivoHWnd handle = data.handle;
    Rect client = ClientArea(data);
    SendMessage(handle, WmSize, 0, MakePointLParam(client.Width(), client.Height()));
    if (WindowData* again = FindWindow(handle)) {
        Point origin{again->rect.left + client.left, again->rect.top + client.top};
        SendMessage(handle, WmMove, 0, MakePointLParam(origin.x, origin.y));
    }
}

bool InSubtree(KivoHWnd root, KivoHWnd window) {
    for (WindowData* data = FindWindow(window); data; data = FindWindow(data->parent)) {
        if (data->handle == root) return true;
    }
    return false;
}

// The window that becomes active when `leaving` can no longer be: its owner when that can
// take it, else the topmost other top-level window that can.
KivoHWnd NextToActivate(KivoHWnd leaving) {
    auto usable = [leaving](const WindowData* data) {
        return data && data->handle != leaving && !data->destroying && IsShowing(*data) &&
               !(data->style & WsDisabled);
    };
    WindowData* data = FindWindow(leaving);
    if (data && usable(FindWindow(data->owner))) return data->owner;
    WindowData* desktop = FindWindow(System().desktop);
    if (!desktop) return nullptr;
    for (auto it = desktop->children.rbegin(); it != desktop->children.rend(); ++it) {
        if (usable(FindWindow(*it))) return *it;
    }
    return nullptr;
}

// After `window` stops being usable (hidden, disabled or destroyed), input must not stay
// with it: capture is released, focus and activation move on.
enum class Leaving { Hidden, Disabled, Destroyed };

void LeaveInput(KivoHWnd window, Leaving how) {
    bool forDestroy = how == Leaving::Destroyed;
    WindowSystem& system = System();
    if (system.capture && InSubtree(window, system.capture)) ReleaseCapture();
    if (system.focus && InSubtree(window, system.focus)) {
        if (forDestroy) {
            system.focus = nullptr;
        } else {
            SetFocus(nullptr);
        }
    }
    // A disabled window stays active (as an owner under its modal dialog does).
    if (how != Leaving::Disabled && system.active && InSubtree(window, system.active)) {
        if (forDestroy) system.active = nullptr;
        SetActiveWindow(NextToActivate(window));
    }
}

void DestroyTree(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    if (!data) return;
    data->destroying = true;
    SendMessage(window, WmDestroy, 0, 0);
    if ((data = FindWindow(window))) {
        for (KivoHWnd child : std::vector<KivoHWnd>(data->children))
            DestroyTree(child);
    }
    SendMessage(window, WmNcDestroy, 0, 0);
    WindowSystem& system = System();
    data = FindWindow(window);
    if (!data) return;
    if (WindowData* parent = FindWindow(data->parent)) {
        std::erase(parent->children, window);
    }
    if (system.lastMouseWindow == window) system.lastMouseWindow = nullptr;
    ForgetWindowInQueue(window);
    system.windows.erase(reinterpret_cast<uintptr_t>(window));
}

void ApplyMaximized(WindowData& data) {
    int frame = FrameThickness(data.style, data.exStyle);
    Rect screen = Screen().Bounds();
    MinMaxInfo info{};
    info.maxSize = {screen.Width() + 2 * frame, screen.Height() + 2 * frame};
    info.maxPosition = {-frame, -frame};
    info.maxTrackSize = info.maxSize;
    SendMessage(data.handle, WmGetMinMaxInfo, 0, reinterpret_cast<LParam>(&info));
    if (WindowData* again = FindWindow(data.handle)) {
        again->rect = {info.maxPosition.x, info.maxPosition.y, info.maxPosition.x + info.maxSize.x,
                       info.maxPosition.y + info.maxSize.y};
    }
}

}  // namespace

KivoHWnd CreateWindow(uint32_t exStyle, const char* className, const char* title, uint32_t style,
                      int x, int y, int width, int height, KivoHWnd parent, int id,
                      void* createParam) {
    const WindowClass* windowClass = FindClass(className);
    if (!windowClass) return nullptr;
    WindowSystem& system = System();
    WindowData* parentData = FindWindow(parent);
    if ((style & WsChild) && !parentData) return nullptr;
    if (parent && !parentData) return nullptr;

    auto data = std::make_unique<WindowData>();
    KivoHWnd handle = reinterpret_cast<KivoHWnd>(system.nextHandle++);
    data->handle = handle;
    data->windowClass = windowClass;
    data->procedure = windowClass->procedure;
    data->title = title ? title : "";
    data->style = style & ~(WsVisible | WsMaximize | WsMinimize);
    data->exStyle = exStyle;
    data->controlId = (style & WsChild) ? id : 0;
    if (style & WsChild) {
        data->parent = parent;
    } else {
        data->parent = system.desktop;
        data->owner = (parent && parent != system.desktop) ? GetTopLevel(parent) : nullptr;
    }
    if (x == kUseDefault) x = (style & WsChild) ? 0 : kDefaultX;
    if (y == kUseDefault) y = (style & WsChild) ? 0 : kDefaultY;
    if (width == kUseDefault) width = kDefaultWidth;
    if (height == kUseDefault) height = kDefaultHeight;
    data->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    data->normalRect = data->rect;
    data->extraBytes.assign(static_cast<size_t>(windowClass->windowExtraBytes), 0);
    WindowData* parentEntry = FindWindow(data->parent);
    if (style & WsChild) {
        // New children go to the bottom, so the first control made stays on top.
        parentEntry->children.insert(parentEntry->children.begin(), handle);
    } else {
        parentEntry->children.push_back(handle);
    }
    system.windows[reinterpret_cast<uintptr_t>(handle)] = std::move(data);

    CreateRecord record{createParam, parent, id,    x,         y,      width,
                        height,      style,  title, className, exStyle};
    LParam recordParam = reinterpret_cast<LParam>(&record);
    if (!SendMessage(handle, WmNcCreate, 0, recordParam) ||
        SendMessage(handle, WmCreate, 0, recordParam) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    WindowData* created = FindWindow(handle);
    if (!created) return nullptr;
    SendSizeAndMove(*created);
    if (style & WsMaximize) {
        ShowWindow(handle, (style & WsVisible) ? SwShowMaximized : SwHide);
        if (WindowData* again = FindWindow(handle); again && !(style & WsVisible)) {
            again->maximized = true;
        }
    } else if (style & WsVisible) {
        ShowWindow(handle, (style & WsChild) ? SwShowNa : SwShow);
    }
    return IsWindow(handle) ? handle : nullptr;
}

bool DestroyWindow(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    WindowSystem& system = System();
    if (!data || data->destroying || window == system.desktop) return false;
    std::vector<KivoHWnd> owned;
    for (const auto& [key, other] : system.windows) {
        if (other->owner == window && !other->destroying) owned.push_back(other->handle);
    }
    for (KivoHWnd ownedWindow : owned)
        DestroyWindow(ownedWindow);
    if (!(data = FindWindow(window))) return true;
    Region exposed = VisibleRegion(*data, false);
    data->style &= ~WsVisible;
    LeaveInput(window, Leaving::Destroyed);
    DestroyTree(window);
    ExposeScreenArea(exposed);
    return true;
}

bool IsWindow(KivoHWnd window) {
    return FindWindow(window) != nullptr;
}

bool BringWindowToTop(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    WindowData* parent = data ? FindWindow(data->parent) : nullptr;
    if (!parent) return false;
    auto& siblings = parent->children;
    if (siblings.back() == window) return true;
    std::erase(siblings, window);
    siblings.push_back(window);
    if (!(data->style & WsChild)) {
        // Windows it owns stay above it.
        std::vector<KivoHWnd> owned;
        for (KivoHWnd sibling : siblings) {
            WindowData* other = FindWindow(sibling);
            if (other && other->owner == window) owned.push_back(sibling);
        }
        for (KivoHWnd ownedWindow : owned) {
            std::erase(siblings, ownedWindow);
            siblings.push_back(ownedWindow);
        }
    }
    ExposeScreenArea(VisibleRegion(*data, false));
    CurrentDisplay().Present();
    return true;
}

KivoHWnd GetDesktopWindow() {
    return System().desktop;
}

KivoHWnd GetParent(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    if (!data) return nullptr;
    return (data->style & WsChild) ? data->parent : data->owner;
}

bool IsChild(KivoHWnd parent, KivoHWnd window) {
    WindowData* data = FindWindow(window);
    while (data && (data->style & WsChild)) {
        if (data->parent == parent) return true;
        data = FindWindow(data->parent);
    }
    return false;
}

KivoHWnd GetDlgItem(KivoHWnd parent, int id) {
    WindowData* data = FindWindow(parent);
    if (!data) return nullptr;
    for (KivoHWnd child : data->children) {
        if (WindowData* childData = FindWindow(child); childData && childData->controlId == id) {
            return child;
        }
    }
    return nullptr;
}

int GetDlgCtrlID(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data ? data->controlId : 0;
}

std::vector<KivoHWnd> GetChildren(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    if (!data) return {};
    return std::vector<KivoHWnd>(data->children.rbegin(), data->children.rend());
}

KivoHWnd GetTopLevel(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    while (data && (data->style & WsChild)) {
        WindowData* parent = FindWindow(data->parent);
        if (!parent) break;
        data = parent;
    }
    return data ? data->handle : nullptr;
}

std::string GetClassName(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data ? data->windowClass->name : std::string();
}

uint32_t GetStyle(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data ? data->style : 0;
}

bool SetWindowText(KivoHWnd window, const char* text) {
    if (!FindWindow(window)) return false;
    SendMessage(window, WmSetText, 0, reinterpret_cast<LParam>(text ? text : ""));
    return true;
}

std::string GetWindowText(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data ? data->title : std::string();
}

bool SetProp(KivoHWnd window, const char* name, void* value) {
    WindowData* data = FindWindow(window);
    if (!data || !name) return false;
    data->properties[LowerCase(name)] = value;
    return true;
}

void* GetProp(KivoHWnd window, const char* name) {
    WindowData* data = FindWindow(window);
    if (!data || !name) return nullptr;
    auto found = data->properties.find(LowerCase(name));
    return found == data->properties.end() ? nullptr : found->second;
}

void* RemoveProp(KivoHWnd window, const char* name) {
    WindowData* data = FindWindow(window);
    if (!data || !name) return nullptr;
    auto found = data->properties.find(LowerCase(name));
    if (found == data->properties.end()) return nullptr;
    void* value = found->second;
    data->properties.erase(found);
    return value;
}

int32_t GetWindowLong(KivoHWnd window, int offset) {
    WindowData* data = FindWindow(window);
    if (!data || offset < 0 || static_cast<size_t>(offset) + 4 > data->extraBytes.size()) {
        return 0;
    }
    int32_t value;
    std::memcpy(&value, data->extraBytes.data() + offset, 4);
    return value;
}

int32_t SetWindowLong(KivoHWnd window, int offset, int32_t value) {
    WindowData* data = FindWindow(window);
    if (!data || offset < 0 || static_cast<size_t>(offset) + 4 > data->extraBytes.size()) {
        return 0;
    }
    int32_t previous;
    std::memcpy(&previous, data->extraBytes.data() + offset, 4);
    std::memcpy(data->extraBytes.data() + offset, &value, 4);
    return previous;
}

bool ShowWindow(KivoHWnd window, int command) {
    WindowData* data = FindWindow(window);
    if (!data || window == System().desktop) return false;
    bool wasVisible = (data->style & WsVisible) != 0;
    Region before = VisibleRegion(*data, false);
    Rect oldRect = data->rect;
    if (command == SwHide) {
        if (!wasVisible) return false;
        SendMessage(window, WmShowWindow, 0, 0);
        if (!(data = FindWindow(window))) return wasVisible;
        data->style &= ~WsVisible;
        LeaveInput(window, Leaving::Hidden);
        ExposeScreenArea(before);
        CurrentDisplay().Present();
        return wasVisible;
    }
    switch (command) {
        case SwShowMaximized:
            if (!data->maximized && !data->minimized) data->normalRect = data->rect;
            data->minimized = false;
            data->maximized = true;
            ApplyMaximized(*data);
            break;
        case SwShowMinimized:
        case SwMinimize:
        case SwShowMinNoActive:
            if (!data->maximized && !data->minimized) data->normalRect = data->rect;
            data->minimized = true;
            break;
        case SwShowNormal:
        case SwRestore:
            if (data->minimized) {
                data->minimized = false;
                if (!data->maximized) data->rect = data->normalRect;
            } else if (data->maximized) {
                data->maximized = false;
                data->rect = data->normalRect;
            }
            break;
        default:
            break;
    }
    if (!(data = FindWindow(window))) return wasVisible;
    if (!wasVisible) {
        SendMessage(window, WmShowWindow, 1, 0);
        if (!(data = FindWindow(window))) return wasVisible;
        data->style |= WsVisible;
    }
    if (data->rect != oldRect) SendSizeAndMove(*data);
    if (!(data = FindWindow(window))) return wasVisible;
    Region after = VisibleRegion(*data, false);
    Region exposed = before;
    exposed.Union(after);
    if (!wasVisible || data->rect != oldRect || data->minimized) ExposeScreenArea(exposed);
    bool activate = command == SwShowNormal || command == SwShow || command == SwShowMaximized ||
                    command == SwRestore;
    if (activate && !(data->style & WsChild) && !data->minimized) SetActiveWindow(window);
    data = FindWindow(window);
    if (data && data->minimized) LeaveInput(window, Leaving::Hidden);
    CurrentDisplay().Present();
    return wasVisible;
}

bool IsWindowVisible(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data && IsShowing(*data);
}

bool IsZoomed(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data && data->maximized && !data->minimized;
}

bool IsIconic(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data && data->minimized;
}

bool EnableWindow(KivoHWnd window, bool enable) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    bool wasDisabled = (data->style & WsDisabled) != 0;
    if (wasDisabled == !enable) return wasDisabled;
    if (enable) {
        data->style &= ~WsDisabled;
    } else {
        data->style |= WsDisabled;
        LeaveInput(window, Leaving::Disabled);
    }
    SendMessage(window, WmEnable, enable ? 1 : 0, 0);
    return wasDisabled;
}

bool IsWindowEnabled(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    return data && !(data->style & WsDisabled);
}

bool MoveWindow(KivoHWnd window, int x, int y, int width, int height, bool repaint) {
    WindowData* data = FindWindow(window);
    if (!data || window == System().desktop) return false;
    Region before = VisibleRegion(*data, false);
    Rect oldRect = data->rect;
    data->rect = {x, y, x + std::max(width, 0), y + std::max(height, 0)};
    if (!data->maximized && !data->minimized) data->normalRect = data->rect;
    if (data->rect == oldRect) return true;
    SendSizeAndMove(*data);
    if (!(data = FindWindow(window))) return true;
    if (repaint) {
        Region exposed = before;
        exposed.Union(VisibleRegion(*data, false));
        ExposeScreenArea(exposed);
    } else {
        // The frame follows the window even when the caller repaints the client area itself.
        RefreshOwnDeviceContexts();
        Region frame = VisibleRegion(*data, false);
        frame.Subtract(VisibleRegion(*data, true));
        DrawNonClient(*data, frame);
    }
    CurrentDisplay().Present();
    return true;
}

bool GetWindowPlacement(KivoHWnd window, WindowPlacement& placement) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    placement.showCommand =
        data->minimized ? SwShowMinimized : (data->maximized ? SwShowMaximized : SwShowNormal);
    placement.normalPosition = (data->maximized || data->minimized) ? data->normalRect : data->rect;
    return true;
}

bool SetWindowPlacement(KivoHWnd window, const WindowPlacement& placement) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    data->normalRect = placement.normalPosition;
    if (!data->maximized && !data->minimized) {
        const Rect& r = placement.normalPosition;
        MoveWindow(window, r.left, r.top, r.Width(), r.Height(), true);
    }
    if (placement.showCommand != SwShowNormal || data->maximized || data->minimized) {
        ShowWindow(window, placement.showCommand);
    }
    return true;
}

bool GetClientRect(KivoHWnd window, Rect& rect) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    Rect client = ClientArea(*data);
    rect = {0, 0, client.Width(), client.Height()};
    return true;
}

bool GetWindowRect(KivoHWnd window, Rect& rect) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    rect = ScreenWindowRect(*data);
    return true;
}

bool ClientToScreen(KivoHWnd window, Point& point) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    Point origin = ClientOrigin(*data);
    point = {point.x + origin.x, point.y + origin.y};
    return true;
}

bool ScreenToClient(KivoHWnd window, Point& point) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    Point origin = ClientOrigin(*data);
    point = {point.x - origin.x, point.y - origin.y};
    return true;
}

bool AdjustWindowRectEx(Rect& rect, uint32_t style, bool /*menu*/, uint32_t exStyle) {
    int frame = FrameThickness(style, exStyle);
    rect = {rect.left - frame, rect.top - frame - CaptionHeight(style), rect.right + frame,
            rect.bottom + frame};
    return true;
}

namespace {

KivoHWnd ChildFromPoint(const WindowData& data, Point screen) {
    Rect client = ClientArea(data);
    Point origin = WindowOrigin(data);
    if (!client.Offset(origin.x, origin.y).Contains(screen)) return data.handle;
    for (auto child = data.children.rbegin(); child != data.children.rend(); ++child) {
        const WindowData* childData = FindWindow(*child);
        if (!childData || !(childData->style & WsVisible) || childData->minimized) continue;
        if (ScreenWindowRect(*childData).Contains(screen)) {
            return ChildFromPoint(*childData, screen);
        }
    }
    return data.handle;
}

}  // namespace

KivoHWnd WindowFromPoint(Point screenPoint) {
    const WindowData* desktop = FindWindow(System().desktop);
    return desktop ? ChildFromPoint(*desktop, screenPoint) : nullptr;
}

KivoHWnd WindowFromPointIn(KivoHWnd topLevel, Point screenPoint) {
    const WindowData* data = FindWindow(topLevel);
    if (data && IsShowing(*data) && ScreenWindowRect(*data).Contains(screenPoint)) {
        return ChildFromPoint(*data, screenPoint);
    }
    return WindowFromPoint(screenPoint);
}

}  // namespace kivoly::platform
