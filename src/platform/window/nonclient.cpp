// The frame and caption that the window system draws around a window's client area.
#include "platform/gdi/device_context.h"
#include "platform/window/display.h"
#include "platform/window/window_system.h"

namespace kivoly::platform {

namespace {

constexpr ColourRef kFrameOuter = Rgb(64, 64, 64);
constexpr ColourRef kFrameFace = Rgb(192, 192, 192);
constexpr ColourRef kActiveCaption = Rgb(0, 0, 128);
constexpr ColourRef kInactiveCaption = Rgb(128, 128, 128);
constexpr int kCaptionTextIndent = 4;

}  // namespace

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
    }
}

}  // namespace kivoly::platform
