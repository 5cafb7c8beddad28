#include "platform/window/dialog.h"

#include <cctype>
#include <map>
#include <string>

#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/mul_div.h"
#include "platform/window/button.h"
#include "platform/window/display.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

namespace {

// The dialog font is the built-in one: 6 pixels a character across, 12 down.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 12;
constexpr const char* kDialogClass = "#Dialog";

struct DialogState {
    DialogProcedure procedure = nullptr;
    bool ended = false;
    intptr_t result = 0;
};

std::map<KivoHWnd, DialogState>& Dialogs() {
    thread_local std::map<KivoHWnd, DialogState> dialogs;
    return dialogs;
}

DialogState* StateOf(KivoHWnd dialog) {
    auto found = Dialogs().find(dialog);
    return found == Dialogs().end() ? nullptr : &found->second;
}

LResult DialogWindowProc(KivoHWnd dialog, uint32_t message, WParam first, LParam second) {
    DialogState* state = StateOf(dialog);
    if (state && state->procedure) {
        intptr_t handled = state->procedure(dialog, message, first, second);
        if (handled) return message == WmInitDialog ? handled : 0;
    }
    switch (message) {
        case WmClose:
            PostMessage(dialog, WmCommand, IdCancel, 0);
            return 0;
        case WmNcDestroy:
            Dialogs().erase(dialog);
            return 0;
        default:
            return DefWindowProc(dialog, message, first, second);
    }
}

void RegisterDialogClass() {
    if (FindClass(kDialogClass)) return;
    WindowClass windowClass;
    windowClass.name = kDialogClass;
    windowClass.procedure = DialogWindowProc;
    windowClass.background = ClassBackground::LightGrey;
    RegisterClass(windowClass);
}

bool IsButton(KivoHWnd control) {
    return GetClassName(control) == kButtonClass;
}

// The default push button's identifier, IdOk when there is none.
int DefaultId(KivoHWnd dialog) {
    for (KivoHWnd control : GetChildren(dialog)) {
        if (IsButton(control) && IsWindowVisible(control) && IsWindowEnabled(control) &&
            (GetStyle(control) & BsTypeMask) == BsDefPushButton) {
            return GetDlgCtrlID(control);
        }
    }
    return IdOk;
}

// The button whose label marks `key` with '&'.
KivoHWnd MnemonicButton(KivoHWnd dialog, char key) {
    for (KivoHWnd control : GetChildren(dialog)) {
        if (!IsButton(control) || !IsWindowVisible(control) || !IsWindowEnabled(control)) continue;
        std::string text = GetWindowText(control);
        size_t mark = text.find('&');
        if (mark != std::string::npos && mark + 1 < text.size() &&
            std::tolower(static_cast<unsigned char>(text[mark + 1])) ==
                std::tolower(static_cast<unsigned char>(key))) {
            return control;
        }
    }
    return nullptr;
}

void Command(KivoHWnd dialog, int id) {
    SendMessage(dialog, WmCommand, MakeWParam(static_cast<unsigned>(id), BnClicked),
                reinterpret_cast<LParam>(GetDlgItem(dialog, id)));
}

// Every text of the dialog, for a responder to read.
std::string DialogText(KivoHWnd dialog) {
    std::string text;
    for (KivoHWnd control : GetChildren(dialog)) {
        if (GetClassName(control) == "STATIC" || IsButton(control)) {
            if (!text.empty()) text += '\n';
            text += GetWindowText(control);
        }
    }
    return text;
}

void PumpPending(KivoHWnd dialog) {
    Message message;
    DialogState* state = StateOf(dialog);
    while (state && !state->ended && PeekMessage(message, nullptr, 0, 0, PmRemove)) {
        if (!IsDialogMessage(dialog, message)) {
            TranslateMessage(message);
            DispatchMessage(message);
        }
        state = StateOf(dialog);
    }
}

// Headless: the responder's answer is pressed, then Escape's Cancel, then the dialog ends.
void AnswerHeadless(KivoHWnd dialog, KivoHWnd owner) {
    PumpPending(dialog);
    if (!StateOf(dialog) || StateOf(dialog)->ended) return;
    int answer = MessageBox(owner, DialogText(dialog).c_str(), GetWindowText(dialog).c_str(), 0);
    Command(dialog, answer);
    PumpPending(dialog);
    if (StateOf(dialog) && !StateOf(dialog)->ended) Command(dialog, IdCancel);
    PumpPending(dialog);
    if (StateOf(dialog) && !StateOf(dialog)->ended) EndDialog(dialog, 0);
}

}  // namespace

Rect DialogUnitsToPixels(const Rect& units) {
    return {MulDiv(units.left, kBaseUnitX, 4), MulDiv(units.top, kBaseUnitY, 8),
            MulDiv(units.right, kBaseUnitX, 4), MulDiv(units.bottom, kBaseUnitY, 8)};
}

KivoHWnd CreateDialogFrame(const char* caption, uint32_t style, int clientWidth, int clientHeight,
                           KivoHWnd owner, DialogProcedure procedure) {
    RegisterDialogClass();
    uint32_t exStyle = (style & DsModalFrame) ? WsExDlgModalFrame : 0;
    uint32_t windowStyle = (style & ~(DsModalFrame | WsVisible | WsChild)) | WsPopup;
    Rect frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(frame, windowStyle, false, exStyle);
    Rect area;
    if (owner && IsWindow(owner)) {
        GetWindowRect(owner, area);
    } else {
        GetClientRect(GetDesktopWindow(), area);
    }
    int x = area.left + (area.Width() - frame.Width()) / 2;
    int y = area.top + (area.Height() - frame.Height()) / 2;
    KivoHWnd dialog = CreateWindow(exStyle, kDialogClass, caption, windowStyle, x, y, frame.Width(),
                                   frame.Height(), owner, 0, nullptr);
    if (dialog) Dialogs()[dialog].procedure = procedure;
    return dialog;
}

intptr_t RunModalDialog(KivoHWnd dialog, KivoHWnd owner, LParam initParam) {
    if (!StateOf(dialog)) return -1;
    std::vector<KivoHWnd> controls = GetChildren(dialog);
    KivoHWnd firstControl = controls.empty() ? nullptr : controls.front();
    LResult focusDefault =
        SendMessage(dialog, WmInitDialog, reinterpret_cast<WParam>(firstControl), initParam);
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, false);
    if (StateOf(dialog) && !StateOf(dialog)->ended) {
        ShowWindow(dialog, SwShow);
        if (focusDefault && firstControl) SetFocus(firstControl);
        UpdateWindow(dialog);
    }
    if (!CurrentDisplay().IsInteractive()) AnswerHeadless(dialog, owner);
    Message message;
    while (StateOf(dialog) && !StateOf(dialog)->ended) {
        int got = GetMessage(message, nullptr, 0, 0);
        if (got == 0) {
            // A quit request ends the dialog and stays for the outer loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            EndDialog(dialog, 0);
            break;
        }
        if (got < 0) {
            AnswerHeadless(dialog, owner);
            continue;
        }
        if (!IsDialogMessage(dialog, message)) {
            TranslateMessage(message);
            DispatchMessage(message);
        }
    }
    intptr_t result = StateOf(dialog) ? StateOf(dialog)->result : 0;
    if (ownerWasEnabled) EnableWindow(owner, true);
    DestroyWindow(dialog);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    return result;
}

intptr_t DialogBoxIndirect(const DialogTemplate& dialogTemplate, KivoHWnd owner,
                           DialogProcedure procedure, LParam initParam) {
    Rect size = DialogUnitsToPixels({0, 0, dialogTemplate.cx, dialogTemplate.cy});
    KivoHWnd dialog = CreateDialogFrame(dialogTemplate.caption, dialogTemplate.style, size.Width(),
                                        size.Height(), owner, procedure);
    if (!dialog) return -1;
    for (const DialogControl& item : dialogTemplate.controls) {
        Rect place = DialogUnitsToPixels({item.x, item.y, item.x + item.cx, item.y + item.cy});
        CreateWindow(0, item.className, item.text, (item.style & ~WsPopup) | WsChild | WsVisible,
                     place.left, place.top, place.Width(), place.Height(), dialog, item.id,
                     nullptr);
    }
    return RunModalDialog(dialog, owner, initParam);
}

bool EndDialog(KivoHWnd dialog, intptr_t result) {
    DialogState* state = StateOf(dialog);
    if (!state) return false;
    state->ended = true;
    state->result = result;
    return true;
}

bool IsDialogMessage(KivoHWnd dialog, const Message& message) {
    if (!message.hwnd || (message.hwnd != dialog && !IsChild(dialog, message.hwnd))) {
        return false;
    }
    switch (message.message) {
        case WmKeyDown:
            if (message.wParam == VkEscape) {
                Command(dialog, IdCancel);
                return true;
            }
            if (message.wParam == VkReturn) {
                Command(dialog, DefaultId(dialog));
                return true;
            }
            break;
        case WmChar:
        case WmSysChar:
            // A text field takes what is typed into it.
            if (message.message == WmChar &&
                (SendMessage(message.hwnd, WmGetDlgCode, 0, 0) & DlgcWantChars)) {
                break;
            }
            if (KivoHWnd button = MnemonicButton(dialog, static_cast<char>(message.wParam))) {
                SendMessage(button, BmClick, 0, 0);
                return true;
            }
            if (message.message == WmChar) return true;
            break;
        default:
            break;
    }
    TranslateMessage(message);
    DispatchMessage(message);
    return true;
}

}  // namespace kivoly::platform
