#include "platform/window/button.h"

#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

namespace {

// Extra bytes: the pressed look at offset 0.
constexpr int kStateOffset = 0;

constexpr ColourRef kFace = Rgb(192, 192, 192);
constexpr ColourRef kHighlight = Rgb(255, 255, 255);
constexpr ColourRef kShadow = Rgb(128, 128, 128);
constexpr ColourRef kDark = Rgb(0, 0, 0);

bool IsPressed(KivoHWnd button) {
    return GetWindowLong(button, kStateOffset) != 0;
}

bool IsOwnerDrawn(KivoHWnd button) {
    return (GetStyle(button) & BsTypeMask) == BsOwnerDraw;
}

void Line(DeviceContext& dc, ColourRef colour, Point from, Point to) {
    Pen previous = dc.SelectPen(CreatePen(PenStyle::Solid, 1, colour));
    dc.MoveTo(from.x, from.y);
    dc.LineTo(to.x, to.y);
    dc.SelectPen(previous);
}

void DrawPushButton(KivoHWnd button, DeviceContext& dc) {
    Rect r;
    GetClientRect(button, r);
    bool pressed = IsPressed(button);
    dc.FillRect(r, CreateSolidBrush(kFace));
    if ((GetStyle(button) & BsTypeMask) == BsDefPushButton) {
        dc.FrameRect(r, CreateSolidBrush(kDark));
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
    if (pressed) {
        dc.FrameRect(r, CreateSolidBrush(kShadow));
    } else {
        // Raised: light top and left edges, dark bottom and right edges.
        Line(dc, kHighlight, {r.left, r.bottom - 2}, {r.left, r.top});
        Line(dc, kHighlight, {r.left, r.top}, {r.right - 1, r.top});
        Line(dc, kDark, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1});
        Line(dc, kDark, {r.right - 1, r.bottom - 1}, {r.left - 1, r.bottom - 1});
        Line(dc, kShadow, {r.right - 2, r.top + 1}, {r.right - 2, r.bottom - 2});
        Line(dc, kShadow, {r.right - 2, r.bottom - 2}, {r.left, r.bottom - 2});
    }
    std::string text;
    for (char c : GetWindowText(button)) {
        if (c != '&') text += c;  // mnemonic marks are not drawn
    }
    dc.SetBackgroundMode(BackgroundMode::Transparent);
    dc.SetTextColour(IsWindowEnabled(button) ? kDark : kShadow);
    Rect textRect = r;
    if (pressed) textRect = textRect.Offset(1, 1);
    dc.DrawText(text, textRect, DtCenter | DtVCenter | DtSingleLine);
}

void DrawOwnerDrawn(KivoHWnd button, DeviceContext& dc) {
    DrawItemRecord record;
    record.controlId = static_cast<unsigned>(GetDlgCtrlID(button));
    record.itemState = (IsPressed(button) ? OdsSelected : 0u) |
                       (IsWindowEnabled(button) ? 0u : OdsDisabled) |
                       (GetFocus() == button ? OdsFocus : 0u);
    record.item = button;
    record.dc = &dc;
    GetClientRect(button, record.itemRect);
    SendMessage(GetParent(button), WmDrawItem, record.controlId, reinterpret_cast<LParam>(&record));
}

void Redraw(KivoHWnd button) {
    if (!IsWindowVisible(button)) return;
    if (IsOwnerDrawn(button)) {
        if (DeviceContext* dc = GetDC(button)) {
            DrawOwnerDrawn(button, *dc);
            ReleaseDC(button, dc);
        }
        return;
    }
    InvalidateRect(button, nullptr, false);
    UpdateWindow(button);
}

void SetPressed(KivoHWnd button, bool pressed) {
    if (IsPressed(button) == pressed) return;
    SetWindowLong(button, kStateOffset, pressed ? 1 : 0);
    Redraw(button);
}

void Click(KivoHWnd button) {
    SendMessage(GetParent(button), WmCommand, MakeWParam(GetDlgCtrlID(button), BnClicked),
                reinterpret_cast<LParam>(button));
}

bool PointerOver(KivoHWnd button, LParam point) {
    Rect r;
    GetClientRect(button, r);
    return r.Contains({PointX(point), PointY(point)});
}

LResult ButtonProc(KivoHWnd button, uint32_t message, WParam first, LParam second) {
    switch (message) {
        case WmPaint: {
            PaintRecord paint;
            if (DeviceContext* dc = BeginPaint(button, paint)) {
                if (IsOwnerDrawn(button)) {
                    DrawOwnerDrawn(button, *dc);
                } else {
                    DrawPushButton(button, *dc);
                }
            }
            EndPaint(button, paint);
            return 0;
        }
        case WmEraseBkgnd:
            return 1;
        case WmLButtonDown:
        case WmLButtonDblClk:
            SetCapture(button);
            SetFocus(button);
            SetPressed(button, true);
            return 0;
        case WmMouseMove:
            if (GetCapture() == button) SetPressed(button, PointerOver(button, second));
            return 0;
        case WmLButtonUp:
            if (GetCapture() != button) return 0;
            {
                bool over = PointerOver(button, second);
                ReleaseCapture();
                SetPressed(button, false);
                if (over) Click(button);
            }
            return 0;
        case WmCaptureChanged:
            SetPressed(button, false);
            return 0;
        case WmKeyDown:
            if (first == 0x20) SetPressed(button, true);
            return 0;
        case WmKeyUp:
            if (first == 0x20 && IsPressed(button)) {
                SetPressed(button, false);
                Click(button);
            }
            return 0;
        case BmGetState:
            return (IsPressed(button) ? LResult{BstPushed} : 0) |
                   (GetFocus() == button ? LResult{BstFocus} : 0);
        case BmSetState:
            SetPressed(button, first != 0);
            return 0;
        case BmClick:
            Click(button);
            return 0;
        case WmSetText:
        case WmEnable: {
            LResult result = DefWindowProc(button, message, first, second);
            Redraw(button);
            return result;
        }
        case WmSetFocus:
        case WmKillFocus:
            if (IsOwnerDrawn(button)) Redraw(button);
            return 0;
        default:
            return DefWindowProc(button, message, first, second);
    }
}

}  // namespace

void RegisterButtonClass() {
    WindowClass windowClass;
    windowClass.name = kButtonClass;
    windowClass.procedure = ButtonProc;
    windowClass.style = CsDblClks | CsParentDc;
    windowClass.background = ClassBackground::ButtonFace;
    windowClass.windowExtraBytes = 4;
    RegisterClass(windowClass);
}

}  // namespace kivoly::platform
