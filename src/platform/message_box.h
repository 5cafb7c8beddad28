// Message boxes. Headless, a responder answers them: the default one presses the default button
// (the first, OK or Yes, unless the style names another), as a person pressing Enter would. Every
// box's owner, text, caption and style are kept so that tests can check them. A host or a display
// can install a responder that asks a person.
#pragma once

#include <string>
#include <vector>

#include "platform/handles.h"

namespace kivoly::platform {

enum MessageBoxStyle : unsigned {
    MbOk = 0x0000,
    MbOkCancel = 0x0001,
    MbAbortRetryIgnore = 0x0002,
    MbYesNoCancel = 0x0003,
    MbYesNo = 0x0004,
    MbRetryCancel = 0x0005,
    MbIconHand = 0x0010,
    MbIconQuestion = 0x0020,
    MbIconExclamation = 0x0030,
    MbIconAsterisk = 0x0040,
    MbDefButton2 = 0x0100,
    MbDefButton3 = 0x0200,
    MbSystemModal = 0x1000,
};

enum DialogAnswer : int {
    IdOk = 1,
    IdCancel = 2,
    IdAbort = 3,
    IdRetry = 4,
    IdIgnore = 5,
    IdYes = 6,
    IdNo = 7
};

struct MessageBoxRecord {
    KivoHWnd owner;
    std::string text;
    std::string caption;
    unsigned style;
};

// Returns the answer (IdOk, IdYes, ...). Null text or caption shows as "".
int MessageBox(KivoHWnd owner, const char* text, const char* caption, unsigned style);

// The answer of the default responder: the default button of the box's buttons.
int DefaultAnswer(unsigned style);

using MessageBoxResponder = int (*)(const MessageBoxRecord& box, void* context);
// Installs a responder; null restores the default one.
void InstallMessageBoxResponder(MessageBoxResponder responder, void* context);

// Every box shown since the last clear, oldest first (kept whatever responder answered).
const std::vector<MessageBoxRecord>& ShownMessageBoxes();
void ClearShownMessageBoxes();

}  // namespace kivoly::platform
