// The frame and caption that the window system draws around a window's client area.
#include <vector>

#include "platform/gdi/device_context.h"
#include "platform/internal/window/window_system.h"
#include "platform/window/display.h"

namespace kivoly::platform {

namespace {

constexpr ColourRef kFrameOuter = Rgb(64, 64, 64);
constexpr ColourRef kFrameFace = Rgb(192, 192, 192);
constexpr ColourRef kActiveCaption = Rgb(0, 0, 128);
constexpr ColourRef kInactiveCaption = Rgb(128, 128, 128);
constexpr int kCaptionTextIndent = 4;

constexpr int kBoxWidth = 16;
constexpr int kBoxHeight = 14;

// The caption buttons of a window, right to left: close, maximise, minimise (window co-ordinates).
struct CaptionBox {
    int hit;
    Rect rect;
};

std::vector<CaptionBox> CaptionBoxes(const WindowData& data) {
    std::vector<CaptionBox> boxes;
    int caption = CaptionHeight(data.style);
    if (!caption || !(data.style & WsSysMenu)) return boxes;
    int frame = FrameThickness(data.style, data.exStyle);
    int top = frame + (caption - 1 - kBoxHeight) / 2;
    int right = data.rect.Width() - frame - 2;
    auto add = [&](int hit) {
        boxes.push_back({hit, {right - kBoxWidth, top, right, top + kBoxHeight}});
        right -= kBoxWidth + 2;
    };
    add(HtClose);
    if (data.style & (WsMaximizeBox | WsMinimizeBox)) {
        add(HtMaxButton);
        add(HtMinButton);
    }
    return boxes;
}

void DrawCaptionBox(DeviceContext& dc, const CaptionBox& box) {
    const Rect& r = box.rect;
    dc.FillRect(r, CreateSolidBrush(kFrameFace));
    dc.FrameRect(r, CreateSolidBrush(kFrameOuter));
    Pen previous = dc.SelectPen(CreatePen(PenStyle::Solid, 1, Rgb(0, 0, 0)));
    int cx = r.left + r.Width() / 2;
    int cy = r.top + r.Height() / 2;
    switch (box.hit) {
        case HtClose:
            dc.MoveTo(cx - 3, cy - 3);
            dc.LineTo(cx + 4, cy + 4);
            dc.MoveTo(cx + 3, cy - 3);
            dc.LineTo(cx - 4, cy + 4);
            break;
        case HtMaxButton:
            dc.FrameRect({cx - 4, cy - 4, cx + 4, cy + 4}, CreateSolidBrush(Rgb(0, 0, 0)));
            dc.MoveTo(cx - 4, cy - 3);
            dc.LineTo(cx + 4, cy - 3);
            break;
        default:
            dc.MoveTo(cx - 4, cy + 3);
            dc.LineTo(cx + 3, cy + 3);
            break;
    }
    dc.SelectPen(previous);
}

}  // namespace

int NonClientHitTest(const WindowData& data, Point screen) {
    Point origin = WindowOrigin(data);
    Point local{screen.x - origin.x, screen.y - origin.y};
    for (const CaptionBox& box : CaptionBoxes(data)) {
        if (box.rect.Contains(local)) return box.hit;
    }
    int frame = FrameThickness(data.style, data.exStyle);
    int caption = CaptionHeight(data.style);
    if (caption && local.y >= frame && local.y < frame + caption) return HtCaption;
    return HtBorder;
}

void DrawNonClient(const WindowData& data, const Region& screenClip) {
    int frame = FrameThickness(data.style, data.exStyle);
    int caption = CaptionHeight(data.style);
    if ((frame == 0 && caption == 0) || screenClip.IsEmpty()) return;
    Point origin = WindowOrigin(data);
    Region clip = screenClip;
    clip.Offset(-origin.x, -origin.y);
    DeviceContext dc(Screen(), origin, clip);
    Rect outer{0, 0, data.rect.Width(), data.rect.Height()};
    dc.FillRect(outer, CreateSolidBrush(kFrameFace));
    dc.FrameRect(outer, CreateSolidBrush(kFrameOuter));
    if (caption) {
        bool active = System().active == data.handle;
        Rect bar{frame, frame, outer.right - frame, frame + caption - 1};
        dc.FillRect(bar, CreateSolidBrush(active ? kActiveCaption : kInactiveCaption));
        dc.SetBackgroundMode(BackgroundMode::Transparent);
        dc.SetTextColour(active ? Rgb(255, 255, 255) : kFrameFace);
        int textTop = bar.top + (bar.Height() - dc.GetTextMetrics().height) / 2;
        dc.TextOut(bar.left + kCaptionTextIndent, textTop, data.title);
        for (const CaptionBox& box : CaptionBoxes(data))
            DrawCaptionBox(dc, box);
    }
}

}  // namespace kivoly::platform
