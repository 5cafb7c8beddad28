// The program's picture windows (kivoly/tools.h): a converted picture at its size, fitted to the
// screen when larger.
#include "kivoly/tools.h"

#include <algorithm>
#include <vector>

#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/dib_drawing.h"
#include "platform/global_memory.h"
#include "platform/window/display.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::tools {

namespace {

constexpr const char* kViewerClass = "KivolyPictureView";
constexpr uint32_t kViewerStyle =
    platform::WsCaption | platform::WsSysMenu | platform::WsMinimizeBox;
constexpr const char* kBitmapProperty = "KivolyPicture";

platform::LResult ViewerProcedure(KivoHWnd window, uint32_t message, platform::WParam first,
                                  platform::LParam second) {
    if (message != platform::WmPaint) {
        return platform::DefWindowProc(window, message, first, second);
    }
    platform::PaintRecord paint;
    platform::DeviceContext* dc = platform::BeginPaint(window, paint);
    auto dib = static_cast<KivoHGlobal>(platform::GetProp(window, kBitmapProperty));
    if (platform::BitmapInfoHeader* header = dc ? LockDib(dib) : nullptr) {
        platform::Rect client;
        platform::GetClientRect(window, client);
        platform::StretchDIBits(*dc, 0, 0, client.Width(), client.Height(), 0, 0, header->biWidth,
                                header->biHeight, DibPixels(header), header,
                                platform::ColourUse::Colours, platform::RasterOp::SrcCopy);
        platform::GlobalUnlock(dib);
    }
    platform::EndPaint(window, paint);
    return 0;
}

// The picture's size, scaled down evenly to fit the screen with its frame.
platform::Rect ViewerFrame(const platform::BitmapInfoHeader& header) {
    const platform::Rect screen = platform::Screen().Bounds();
    platform::Rect frame{0, 0, 0, 0};
    platform::AdjustWindowRectEx(frame, kViewerStyle, false, 0);
    const int roomX = screen.Width() - frame.Width();
    const int roomY = screen.Height() - frame.Height();
    int width = header.biWidth;
    int height = header.biHeight;
    if (width > roomX || height > roomY) {
        const double scale = std::min(double(roomX) / width, double(roomY) / height);
        width = std::max(1, static_cast<int>(width * scale));
        height = std::max(1, static_cast<int>(height * scale));
    }
    platform::Rect rect{0, 0, width, height};
    platform::AdjustWindowRectEx(rect, kViewerStyle, false, 0);
    return rect;
}

}  // namespace

PictureViewer::PictureViewer() {
    platform::WindowClass viewer;
    viewer.name = kViewerClass;
    viewer.procedure = &ViewerProcedure;
    viewer.background = platform::ClassBackground::Black;
    platform::RegisterClass(viewer);
}

PictureViewer::~PictureViewer() {
    CloseAll();
}

void PictureViewer::Show(KivoHGlobal dib, const std::string& title, bool newWindow) {
    platform::BitmapInfoHeader* header = LockDib(dib);
    if (!header) return;
    const platform::Rect frame = ViewerFrame(*header);
    platform::GlobalUnlock(dib);
    if (newWindow || !platform::IsWindow(latest_)) {
        latest_ = platform::CreateWindow(0, kViewerClass, title.c_str(), kViewerStyle,
                                         platform::kUseDefault, platform::kUseDefault,
                                         frame.Width(), frame.Height(), nullptr, 0, nullptr);
        if (!latest_) return;
    } else {
        platform::SetWindowText(latest_, title.c_str());
        platform::Rect at;
        platform::GetWindowRect(latest_, at);
        platform::MoveWindow(latest_, at.left, at.top, frame.Width(), frame.Height(), true);
    }
    platform::SetProp(latest_, kBitmapProperty, dib);
    platform::ShowWindow(latest_, platform::SwShowNoActivate);
    platform::InvalidateRect(latest_, nullptr, true);
    platform::UpdateWindow(latest_);
}

void PictureViewer::CloseAll() {
    for (KivoHWnd window : platform::GetChildren(platform::GetDesktopWindow())) {
        if (platform::GetClassName(window) == kViewerClass) platform::DestroyWindow(window);
    }
    latest_ = nullptr;
}

}  // namespace kivoly::tools
