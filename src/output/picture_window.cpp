#include "output/picture_window.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "output/display_palette.h"
#include "output/ordered_dither.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/palette.h"
#include "platform/mul_div.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"

namespace kivoly {

namespace {

using platform::DeviceContext;
using platform::LParam;
using platform::LResult;
using platform::Rect;
using platform::WParam;

constexpr const char* kPictureWindowTitle = "Kivoly Kivoshot";

struct PictureWindowState {
    KivoHWnd window = nullptr;
    const platform::BitmapInfoHeader* dib = nullptr;
    // The one-row display bitmap: header, 256 colour-table entries, one row.
    std::vector<uint8_t> rowBitmap;
    platform::ColourUse usage = platform::ColourUse::Colours;
    int width = 0;  // on screen
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;
    std::vector<int> steps;
};

PictureWindowState& State() {
    static PictureWindowState state;
    return state;
}

platform::BitmapInfoHeader* RowHeader() {
    return reinterpret_cast<platform::BitmapInfoHeader*>(State().rowBitmap.data());
}

void MakeRowBitmap(bool trueColour, int width) {
    PictureWindowState& state = State();
    const int bits = trueColour ? 24 : 8;
    const std::size_t tableBytes = trueColour ? 0 : 256 * 4;
    state.rowBitmap.assign(kInfoHeaderSize + tableBytes + DibStride(bits, width), 0);
    platform::BitmapInfoHeader* header = RowHeader();
    header->biSize = kInfoHeaderSize;
    header->biWidth = width;
    header->biHeight = 1;
    header->biPlanes = 1;
    header->biBitCount = static_cast<uint16_t>(bits);
    header->biSizeImage = static_cast<uint32_t>(DibStride(bits, width));
    header->biClrUsed = trueColour ? 0 : 256;
    if (!trueColour) SetDibColourTable(header, nullptr, ColourUsage::Indices);
    state.usage = trueColour ? platform::ColourUse::Colours : platform::ColourUse::PaletteIndices;
}

// Paints screen rows top to bottom: black around the picture, the picture's rows through the
// one-row bitmap.
void Paint(KivoHWnd window) {
    PictureWindowState& state = State();
    platform::PaintRecord paint;
    DeviceContext* dc = platform::BeginPaint(window, paint);
    if (dc == nullptr) return;
    RealizeUiPalette(*dc);
    const platform::Brush black = platform::CreateSolidBrush(platform::Rgb(0, 0, 0));
    const Rect area = paint.paint;
    const platform::BitmapInfoHeader* dib = state.dib;
    for (int y = area.top; y < area.bottom; ++y) {
        dc->FillRect({area.left, y, area.right, y + 1}, black);
        if (dib == nullptr || y < state.offsetY || y >= state.offsetY + state.height) continue;
        const int sourceRow = platform::MulDiv(y - state.offsetY, dib->biHeight, state.height);
        const uint8_t* src =
            DibPixels(dib) +
            static_cast<std::size_t>(DibStride(24, dib->biWidth)) * (dib->biHeight - 1 - sourceRow);
        platform::BitmapInfoHeader* row = RowHeader();
        uint8_t* out = DibPixels(row);
        if (row->biBitCount == 24) {
            for (int i = 0; i < state.width; ++i) {
                std::memcpy(out + 3 * i, src, 3);
                src += 3 + state.steps[i];
            }
        } else {
            DitherRowTo8(out, src, state.width, state.steps.data(), y);
        }
        platform::SetDIBitsToDevice(*dc, state.offsetX, y, state.width, 1, 0, 0, 0, 1, out, row,
                                    state.usage);
    }
    platform::EndPaint(window, paint);
}

LResult PictureWindowProcedure(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    switch (message) {
        case platform::WmPaint:
            Paint(window);
            return 0;
        case platform::WmEraseBkgnd:
            return 1;  // painting fills the background itself
        case platform::WmKeyDown:
        case platform::WmSysKeyDown:
        case platform::WmLButtonDown:
        case platform::WmRButtonDown:
        case platform::WmClose:
            platform::DestroyWindow(window);
            return 0;
        case platform::WmQueryNewPalette:
        case platform::WmPaletteChanged: {
            if (message == platform::WmPaletteChanged &&
                reinterpret_cast<KivoHWnd>(first) == window) {
                return 0;
            }
            DeviceContext* dc = platform::GetDC(window);
            if (dc == nullptr) return 0;
            RealizeUiPalette(*dc);
            const int changed = dc->RealizePalette();
            if (changed > 0) dc->UpdateColours();
            platform::ReleaseDC(window, dc);
            return changed;
        }
        case platform::WmDestroy: {
            PictureWindowState& state = State();
            state.window = nullptr;
            state.dib = nullptr;
            state.rowBitmap.clear();
            state.rowBitmap.shrink_to_fit();
            return 0;
        }
        default:
            return platform::DefWindowProc(window, message, first, second);
    }
}

}  // namespace

bool RegisterPictureWindowClass() {
    if (platform::FindClass(kPictureWindowClass) != nullptr) return true;
    platform::WindowClass windowClass;
    windowClass.name = kPictureWindowClass;
    windowClass.procedure = &PictureWindowProcedure;
    windowClass.style = platform::CsOwnDc;
    windowClass.cursor = platform::Cursor::Arrow;
    windowClass.background = platform::ClassBackground::Hollow;
    return platform::RegisterClass(windowClass);
}

void BuildColumnSteps(int pictureWidth, int screenWidth, int* steps) {
    for (int i = 0; i < screenWidth; ++i) {
        steps[i] = 3 * (platform::MulDiv(i + 1, pictureWidth, screenWidth) -
                        platform::MulDiv(i, pictureWidth, screenWidth)) -
                   3;
    }
}

bool OpenPictureWindow(KivoHWnd mainWindow, const platform::BitmapInfoHeader* dib) {
    PictureWindowState& state = State();
    if (state.window != nullptr) return true;
    if (dib == nullptr || dib->biBitCount != 24) return false;
    const platform::Surface& screen = platform::Screen();
    const int screenWidth = screen.Width();
    const int screenHeight = screen.Height();
    state.width = std::min<int>(dib->biWidth, screenWidth);
    state.height = std::min<int>(dib->biHeight, screenHeight);
    if (dib->biWidth > screenWidth || dib->biHeight > screenHeight) {
        // One scale for both directions: a picture of other proportions than the screen's is
        // not distorted (on a 5:4 or 16:9 screen a 4:3 picture keeps its shape).
        state.width =
            std::min(state.width, platform::MulDiv(dib->biWidth, screenHeight, dib->biHeight));
        state.height =
            std::min(state.height, platform::MulDiv(dib->biHeight, screenWidth, dib->biWidth));
    }
    state.offsetX = (screenWidth - state.width) / 2;
    state.offsetY = (screenHeight - state.height) / 2;
    KivoHWnd window =
        platform::CreateWindow(0, kPictureWindowClass, kPictureWindowTitle, platform::WsPopup, 0, 0,
                               screenWidth, screenHeight, nullptr, 0, nullptr);
    if (window == nullptr) return false;
    state.window = window;
    if (DeviceContext* dc = platform::GetDC(window)) {
        RealizeUiPalette(*dc);
        platform::ReleaseDC(window, dc);
    }
    platform::InvalidateRect(window, nullptr, true);
    platform::ShowWindow(window, platform::SwShow);
    if (mainWindow != nullptr) platform::ShowWindow(mainWindow, platform::SwHide);
    platform::UpdateWindow(window);
    MakeRowBitmap(IsTrueColourDisplay(), state.width);
    state.steps.assign(state.width, 0);
    BuildColumnSteps(dib->biWidth, state.width, state.steps.data());
    state.dib = dib;
    platform::SetFocus(window);
    return true;
}

void RunPictureWindow() {
    platform::Message message;
    while (State().window != nullptr) {
        const int got = platform::GetMessage(message, nullptr, 0, 0);
        if (got <= 0) {
            // Quit stays for the host's own loop; with no input to come the window cannot be
            // closed by anyone, so it goes now.
            if (got == 0) platform::PostQuitMessage(static_cast<int>(message.wParam));
            ClosePictureWindow();
            return;
        }
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    }
}

void ClosePictureWindow() {
    if (State().window != nullptr) platform::DestroyWindow(State().window);
}

KivoHWnd PictureWindow() {
    return State().window;
}

Rect PictureArea() {
    const PictureWindowState& state = State();
    return {state.offsetX, state.offsetY, state.offsetX + state.width,
            state.offsetY + state.height};
}

}  // namespace kivoly
