#include "platform/internal/window/window_system.h"

#include <algorithm>
#include <cctype>

#include "platform/internal/window/edit_control.h"
#include "platform/internal/window/static_control.h"
#include "platform/key_state.h"
#include "platform/window/button.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"

namespace kivoly::platform {

namespace {

constexpr int kCaptionHeight = 18;

LResult DesktopProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    return DefWindowProc(window, message, first, second);
}

void MakeDesktop(WindowSystem& system) {
    auto windowClass = std::make_unique<WindowClass>();
    windowClass->name = "#Desktop";
    windowClass->procedure = DesktopProc;
    windowClass->background = ClassBackground::Desktop;
    auto data = std::make_unique<WindowData>();
    data->handle = reinterpret_cast<KivoHWnd>(system.nextHandle++);
    data->windowClass = windowClass.get();
    data->procedure = DesktopProc;
    data->style = WsVisible | WsClipChildren;
    data->rect = Screen().Bounds();
    data->normalRect = data->rect;
    data->update = Region(data->rect);
    data->erasePending = true;
    system.desktop = data->handle;
    system.windows[reinterpret_cast<uintptr_t>(data->handle)] = std::move(data);
    system.classes[LowerCase(windowClass->name)] = std::move(windowClass);
}

}  // namespace

WindowSystem& System() {
    thread_local WindowSystem system;
    if (!system.desktop) {
        MakeDesktop(system);
        RegisterButtonClass();
        RegisterStaticClass();
        RegisterEditClass();
    }
    return system;
}

WindowData* FindWindow(KivoHWnd window) {
    if (!window) return nullptr;
    WindowSystem& system = System();
    auto found = system.windows.find(reinterpret_cast<uintptr_t>(window));
    return found == system.windows.end() ? nullptr : found->second.get();
}

std::string LowerCase(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

int FrameThickness(uint32_t style, uint32_t exStyle) {
    if (!(style & WsChild) && !CurrentDisplay().DrawsFrames()) return 0;
    if (style & WsThickFrame) return 4;
    if ((style & WsDlgFrame) || (exStyle & WsExDlgModalFrame)) return 3;
    if (style & WsBorder) return 1;
    return 0;
}

int CaptionHeight(uint32_t style) {
    if (!(style & WsChild) && !CurrentDisplay().DrawsFrames()) return 0;
    return (style & WsCaption) == WsCaption ? kCaptionHeight : 0;
}

Rect ClientArea(const WindowData& data) {
    int frame = FrameThickness(data.style, data.exStyle);
    int caption = CaptionHeight(data.style);
    Rect area{frame, frame + caption, data.rect.Width() - frame, data.rect.Height() - frame};
    area.right = std::max(area.right, area.left);
    area.bottom = std::max(area.bottom, area.top);
    return area;
}

Point WindowOrigin(const WindowData& data) {
    const WindowData* parent = FindWindow(data.parent);
    if (!parent) return {data.rect.left, data.rect.top};
    Point origin = ClientOrigin(*parent);
    return {origin.x + data.rect.left, origin.y + data.rect.top};
}

Point ClientOrigin(const WindowData& data) {
    Point origin = WindowOrigin(data);
    Rect client = ClientArea(data);
    return {origin.x + client.left, origin.y + client.top};
}

bool IsShowing(const WindowData& data) {
    for (const WindowData* current = &data; current; current = FindWindow(current->parent)) {
        if (!(current->style & WsVisible) || current->minimized || current->destroying) {
            return false;
        }
    }
    return true;
}

Region VisibleRegion(const WindowData& data, bool clientOnly) {
    if (!IsShowing(data)) return {};
    Point origin = WindowOrigin(data);
    Rect area = clientOnly ? ClientArea(data) : Rect{0, 0, data.rect.Width(), data.rect.Height()};
    Region region(area.Offset(origin.x, origin.y));
    if (clientOnly && (data.style & WsClipChildren)) {
        Point client = ClientOrigin(data);
        for (KivoHWnd child : data.children) {
            const WindowData* childData = FindWindow(child);
            if (childData && (childData->style & WsVisible) && !childData->minimized) {
                region.Subtract(childData->rect.Offset(client.x, client.y));
            }
        }
    }
    for (const WindowData* current = &data; !region.IsEmpty();) {
        const WindowData* parent = FindWindow(current->parent);
        if (!parent) break;
        Point parentOrigin = WindowOrigin(*parent);
        Point parentClient = ClientOrigin(*parent);
        region.Intersect(ClientArea(*parent).Offset(parentOrigin.x, parentOrigin.y));
        auto position =
            std::find(parent->children.begin(), parent->children.end(), current->handle);
        for (auto above = position == parent->children.end() ? position : position + 1;
             above != parent->children.end(); ++above) {
            const WindowData* sibling = FindWindow(*above);
            if (sibling && (sibling->style & WsVisible) && !sibling->minimized) {
                region.Subtract(sibling->rect.Offset(parentClient.x, parentClient.y));
            }
        }
        current = parent;
    }
    return region;
}

namespace {

void ExposeWindow(WindowData& data, const Region& screenArea) {
    if (!(data.style & WsVisible) || data.minimized) return;
    Region client = VisibleRegion(data, true);
    client.Intersect(screenArea);
    if (!client.IsEmpty()) {
        Point origin = ClientOrigin(data);
        client.Offset(-origin.x, -origin.y);
        data.update.Union(client);
        data.erasePending = true;
    }
    Region frame = VisibleRegion(data, false);
    frame.Intersect(screenArea);
    if (!frame.IsEmpty()) DrawNonClient(data, frame);
    for (KivoHWnd child : std::vector<KivoHWnd>(data.children)) {
        if (WindowData* childData = FindWindow(child)) ExposeWindow(*childData, screenArea);
    }
}

}  // namespace

void ExposeScreenArea(const Region& screenArea) {
    RefreshOwnDeviceContexts();
    if (WindowData* desktop = FindWindow(System().desktop)) ExposeWindow(*desktop, screenArea);
}

void ResetWindowSystem() {
    WindowSystem& system = System();
    if (WindowData* desktop = FindWindow(system.desktop)) {
        for (KivoHWnd top : std::vector<KivoHWnd>(desktop->children))
            DestroyWindow(top);
    }
    system.posted.clear();
    system.input.clear();
    system.quitPosted = false;
    system.keyState.fill(0);
    system.timers.clear();
    system.capture = nullptr;
    system.focus = nullptr;
    system.active = nullptr;
    system.cursorPos = {};
    system.cursorCount = 0;
    system.cursor = Cursor::Arrow;
    system.lastMouseWindow = nullptr;
    system.lentDcs.clear();
    ReleaseAllKeys();
    ExposeScreenArea(Region(Screen().Bounds()));
}

}  // namespace kivoly::platform
