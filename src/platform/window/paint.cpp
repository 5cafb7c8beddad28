#include "platform/window/paint.h"

#include <algorithm>

#include "platform/internal/window/window_system.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"

namespace kivoly::platform {

namespace {

Rect ClientBounds(const WindowData& data) {
    Rect client = ClientArea(data);
    return {0, 0, client.Width(), client.Height()};
}

// The visible part of the client area, in client co-ordinates.
Region VisibleClient(const WindowData& data) {
    Region visible = VisibleRegion(data, true);
    Point origin = ClientOrigin(data);
    visible.Offset(-origin.x, -origin.y);
    return visible;
}

void InvalidateTree(WindowData& data, const Region& clientArea, bool erase) {
    Region area = clientArea;
    area.Intersect(ClientBounds(data));
    if (area.IsEmpty()) return;
    data.update.Union(area);
    data.erasePending = data.erasePending || erase;
    if (data.style & WsClipChildren) return;
    for (KivoHWnd child : data.children) {
        WindowData* childData = FindWindow(child);
        if (!childData || !(childData->style & WsVisible) || childData->minimized) continue;
        Rect childClient = ClientArea(*childData);
        Region childArea = area;
        childArea.Offset(-(childData->rect.left + childClient.left),
                         -(childData->rect.top + childClient.top));
        InvalidateTree(*childData, childArea, erase);
    }
}

// A window draws its palette in the foreground while its top-level window is the active one.
void AskForeground(DeviceContext& dc, KivoHWnd window) {
    dc.SetForegroundQuery([window] {
        KivoHWnd active = GetActiveWindow();
        return active && GetTopLevel(window) == active;
    });
}

DeviceContext* LendDc(WindowData& data, const Region& clip) {
    Point origin = ClientOrigin(data);
    if (data.windowClass->style & CsOwnDc) {
        if (!data.ownDc) {
            data.ownDc = std::make_unique<DeviceContext>(Screen(), origin, clip);
            AskForeground(*data.ownDc, data.handle);
        }
        data.ownDc->SetDeviceOrigin(origin);
        data.ownDc->SetVisibleRegion(clip);
        return data.ownDc.get();
    }
    auto& lent = System().lentDcs;
    lent.push_back(std::make_unique<DeviceContext>(Screen(), origin, clip));
    AskForeground(*lent.back(), data.handle);
    return lent.back().get();
}

bool FindPaintIn(WindowData& data, Message& message, KivoHWnd window, uint32_t first,
                 uint32_t last) {
    if (!(data.style & WsVisible) || data.minimized) return false;
    if (!data.update.IsEmpty() && PassesFilter(data.handle, WmPaint, window, first, last)) {
        message = Message{};
        message.hwnd = data.handle;
        message.message = WmPaint;
        return true;
    }
    for (KivoHWnd child : data.children) {
        WindowData* childData = FindWindow(child);
        if (childData && FindPaintIn(*childData, message, window, first, last)) return true;
    }
    return false;
}

}  // namespace

bool InvalidateRect(KivoHWnd window, const Rect* rect, bool erase) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    if (!IsShowing(*data)) return true;
    InvalidateTree(*data, Region(rect ? *rect : ClientBounds(*data)), erase);
    return true;
}

bool ValidateRect(KivoHWnd window, const Rect* rect) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    if (rect) {
        data->update.Subtract(*rect);
    } else {
        data->update = Region();
    }
    return true;
}

bool UpdateWindow(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    if (!data) return false;
    if (!data->update.IsEmpty() && IsShowing(*data)) SendMessage(window, WmPaint, 0, 0);
    return true;
}

DeviceContext* BeginPaint(KivoHWnd window, PaintRecord& paint) {
    paint = PaintRecord{};
    WindowData* data = FindWindow(window);
    if (!data) return nullptr;
    Region update = data->update;
    update.Intersect(ClientBounds(*data));
    data->update = Region();
    Region clip = VisibleClient(*data);
    clip.Intersect(update);
    paint.dc = LendDc(*data, clip);
    paint.paint = update.Bounds();
    if (data->erasePending) {
        data->erasePending = false;
        paint.erase = SendMessage(window, WmEraseBkgnd, reinterpret_cast<WParam>(paint.dc), 0) == 0;
    }
    return paint.dc;
}

void EndPaint(KivoHWnd window, const PaintRecord& paint) {
    if (paint.dc) ReleaseDC(window, paint.dc);
    CurrentDisplay().Present();
}

DeviceContext* GetDC(KivoHWnd window) {
    WindowData* data = FindWindow(window);
    if (!data) return nullptr;
    return LendDc(*data, VisibleClient(*data));
}

bool ReleaseDC(KivoHWnd window, DeviceContext* dc) {
    if (!dc) return false;
    WindowData* data = FindWindow(window);
    if (data && data->ownDc.get() == dc) {
        // A window's own context stays; it goes back to drawing anywhere visible.
        dc->SetVisibleRegion(VisibleClient(*data));
        return true;
    }
    auto& lent = System().lentDcs;
    auto found = std::find_if(lent.begin(), lent.end(),
                              [dc](const auto& owned) { return owned.get() == dc; });
    if (found == lent.end()) return false;
    lent.erase(found);
    CurrentDisplay().Present();
    return true;
}

Brush ClassBackgroundBrush(ClassBackground background) {
    switch (background) {
        case ClassBackground::White:
            return StockBrush(StockObject::WhiteBrush);
        case ClassBackground::LightGrey:
        case ClassBackground::ButtonFace:
            return StockBrush(StockObject::LightGreyBrush);
        case ClassBackground::Grey:
            return StockBrush(StockObject::GreyBrush);
        case ClassBackground::Black:
            return StockBrush(StockObject::BlackBrush);
        case ClassBackground::Desktop:
            return CreateSolidBrush(Rgb(0, 128, 128));
        case ClassBackground::Hollow:
            break;
    }
    return StockBrush(StockObject::HollowBrush);
}

bool EraseWithClassBackground(KivoHWnd window, DeviceContext* dc) {
    WindowData* data = FindWindow(window);
    if (!data || !dc || data->windowClass->background == ClassBackground::Hollow) return false;
    dc->FillRect(ClientBounds(*data), ClassBackgroundBrush(data->windowClass->background));
    return true;
}

bool FindPaintMessage(Message& message, KivoHWnd window, uint32_t first, uint32_t last) {
    WindowData* desktop = FindWindow(System().desktop);
    return desktop && FindPaintIn(*desktop, message, window, first, last);
}

void BroadcastPaletteChanged(KivoHWnd changer) {
    WindowData* desktop = FindWindow(System().desktop);
    if (!desktop) return;
    for (KivoHWnd top : std::vector<KivoHWnd>(desktop->children)) {
        SendMessage(top, WmPaletteChanged, reinterpret_cast<WParam>(changer), 0);
    }
}

void RefreshOwnDeviceContexts() {
    for (auto& [key, data] : System().windows) {
        if (!data->ownDc) continue;
        data->ownDc->SetDeviceOrigin(ClientOrigin(*data));
        data->ownDc->SetVisibleRegion(VisibleClient(*data));
    }
}

}  // namespace kivoly::platform
