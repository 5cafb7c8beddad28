#include "platform/internal/window/edit_control.h"

#include <string>

#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

namespace {

constexpr int kInset = 4;
constexpr int kSelectedOffset = 0;  // extra bytes: whether the whole text is selected

bool Selected(KivoHWnd window) {
    return GetWindowLong(window, kSelectedOffset) != 0;
}

void Select(KivoHWnd window, bool selected) {
    if (Selected(window) == selected) return;
    SetWindowLong(window, kSelectedOffset, selected ? 1 : 0);
    InvalidateRect(window, nullptr, false);
}

void Paint(KivoHWnd window) {
    PaintRecord paint;
    DeviceContext* dc = BeginPaint(window, paint);
    if (dc) {
        Rect client;
        GetClientRect(window, client);
        dc->FillRect(client, StockBrush(StockObject::WhiteBrush));
        dc->FrameRect(client, CreateSolidBrush(Rgb(64, 64, 64)));
        const std::string text = GetWindowText(window);
        const int textHeight = dc->GetTextMetrics().height;
        const int top = (client.Height() - textHeight) / 2;
        // A text wider than the field shows its end, where typing happens.
        const int room = client.Width() - 2 * kInset - 2;
        size_t first = 0;
        while (first < text.size() && dc->GetTextExtent(text.substr(first)).cx > room)
            ++first;
        const std::string shown = text.substr(first);
        const bool focused = GetFocus() == window;
        const bool selected = focused && Selected(window) && !shown.empty();
        if (selected) {
            dc->FillRect({kInset, top, kInset + dc->GetTextExtent(shown).cx, top + textHeight},
                         CreateSolidBrush(Rgb(0, 0, 128)));
        }
        dc->SetBackgroundMode(BackgroundMode::Transparent);
        dc->SetTextColour(selected ? Rgb(255, 255, 255) : Rgb(0, 0, 0));
        dc->TextOut(kInset, top, shown);
        if (focused && !selected) {
            const int caret = kInset + dc->GetTextExtent(shown).cx + 1;
            Pen previous = dc->SelectPen(CreatePen(PenStyle::Solid, 1, Rgb(0, 0, 0)));
            dc->MoveTo(caret, top);
            dc->LineTo(caret, top + textHeight);
            dc->SelectPen(previous);
        }
    }
    EndPaint(window, paint);
}

LResult EditProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmPaint:
            Paint(window);
            return 0;
        case WmGetDlgCode:
            return DlgcWantChars;
        case WmLButtonDown:
            SetFocus(window);
            Select(window, false);
            return 0;
        case WmSetFocus:
            Select(window, true);
            InvalidateRect(window, nullptr, false);
            return 0;
        case WmKillFocus:
            InvalidateRect(window, nullptr, false);
            return 0;
        case WmChar: {
            const auto character = static_cast<unsigned char>(first);
            if (character != '\b' && (character < 0x20 || character == 0x7F)) return 0;
            std::string text = Selected(window) ? std::string() : GetWindowText(window);
            Select(window, false);
            if (character == '\b') {
                if (!text.empty()) text.pop_back();
            } else if (text.size() < kEditMaxLength) {
                text += static_cast<char>(character);
            }
            SetWindowText(window, text.c_str());
            return 0;
        }
        case WmSetText: {
            LResult result = DefWindowProc(window, message, first, second);
            InvalidateRect(window, nullptr, false);
            return result;
        }
        default:
            return DefWindowProc(window, message, first, second);
    }
}

}  // namespace

void RegisterEditClass() {
    WindowClass windowClass;
    windowClass.name = kEditClass;
    windowClass.procedure = EditProc;
    windowClass.background = ClassBackground::White;
    windowClass.cursor = Cursor::Arrow;
    windowClass.windowExtraBytes = 4;
    RegisterClass(windowClass);
}

}  // namespace kivoly::platform
