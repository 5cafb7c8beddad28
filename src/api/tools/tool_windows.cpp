// The program's dialogs, displays and preview window on the library's window system.
#include "kivoly/tools.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/dib_drawing.h"
#include "platform/message_box.h"
#include "platform/save_file_dialog.h"
#include "platform/window/host_display.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::tools {

namespace {

bool AnswerSaveDialog(const platform::SaveFileRequest&, std::string& name, void* context) {
    name = *static_cast<const std::string*>(context);
    return !name.empty();
}

constexpr int kPreviewScale = 2;  // the window shows the frames twice their size

// The preview window's Grabber and whether it was closed (the window procedure has only the
// window).
struct PreviewView {
    KivoGrabber* grabber = nullptr;
    bool closed = false;
};
PreviewView gPreview;

platform::LResult PreviewProcedure(KivoHWnd window, uint32_t message, platform::WParam first,
                                   platform::LParam second) {
    switch (message) {
        case platform::WmPaint: {
            platform::PaintRecord paint;
            platform::DeviceContext* dc = platform::BeginPaint(window, paint);
            const auto* header = reinterpret_cast<const platform::BitmapInfoHeader*>(
                KivoGetPreviewDIB(gPreview.grabber));
            if (dc && header) {
                platform::StretchDIBits(*dc, 0, 0, header->biWidth * kPreviewScale,
                                        header->biHeight * kPreviewScale, 0, 0, header->biWidth,
                                        header->biHeight, DibPixels(header), header,
                                        platform::ColourUse::Colours, platform::RasterOp::SrcCopy);
            }
            platform::EndPaint(window, paint);
            return 0;
        }
        case platform::WmKeyDown:
        case platform::WmClose:
            gPreview.closed = true;
            return 0;
        default:
            return platform::DefWindowProc(window, message, first, second);
    }
}

}  // namespace

int32_t DefaultMessageBoxAnswer(uint32_t style) {
    return platform::DefaultAnswer(style);
}

void ShowWarning(const std::string& text, const std::string& caption) {
    platform::MessageBox(nullptr, text.c_str(), caption.c_str(),
                         platform::MbOk | platform::MbIconExclamation);
}

void AnswerSaveDialogsWith(const std::string* name) {
    if (name) {
        platform::InstallSaveFileResponder(&AnswerSaveDialog, const_cast<std::string*>(name));
    } else {
        platform::InstallSaveFileResponder(nullptr, nullptr);
    }
}

bool AskPictureName(std::string& path) {
    platform::SaveFileRequest request;
    request.owner = nullptr;
    request.filterName = "Pictures (*.bmp, *.png)";
    request.filterPattern = "*.bmp;*.png";
    // No proposed name: what a person types is the name (the field does not select text).
    request.maxLength = 4096;
    request.defaultExtension = "bmp";
    request.flags =
        platform::OfnOverwritePrompt | platform::OfnHideReadOnly | platform::OfnPathMustExist;
    return platform::GetSaveFileName(request, path);
}

bool OpenDesktopDisplay(std::string& reason) {
    return platform::OpenDesktopDisplay("Kivoly", &reason);
}

bool HostDisplayIsDesktop() {
    return platform::EnsureHostDisplay() == platform::DisplayKind::Desktop;
}

KivoHWnd OpenPreviewWindow(KivoGrabber* grabber) {
    gPreview = {grabber, false};
    platform::WindowClass view;
    view.name = "KivolyPreviewView";
    view.procedure = &PreviewProcedure;
    view.background = platform::ClassBackground::Black;
    platform::RegisterClass(view);
    platform::Rect frame{0, 0, 160 * kPreviewScale, 120 * kPreviewScale};
    const uint32_t style = platform::WsCaption | platform::WsSysMenu | platform::WsVisible;
    platform::AdjustWindowRectEx(frame, style, false, 0);
    return platform::CreateWindow(0, "KivolyPreviewView", "Kivoly preview", style, 40, 40,
                                  frame.Width(), frame.Height(), nullptr, 0, nullptr);
}

bool PumpPreviewWindow(KivoHWnd window) {
    platform::InvalidateRect(window, nullptr, false);
    platform::Message message;
    while (!gPreview.closed && platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
        if (message.message == platform::WmQuit) gPreview.closed = true;
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    }
    return !gPreview.closed;
}

void ClosePreviewWindow(KivoHWnd window) {
    platform::DestroyWindow(window);
}

}  // namespace kivoly::tools
