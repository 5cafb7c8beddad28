// Message boxes. Headless, a responder answers them: the default one answers the first button
// (OK) and keeps the text, caption and style of every box so that tests can check them. A host
// or a display can install a responder that asks a person.
#pragma once

#include <string>
#include <vector>

#include "kivoly/kivoly.h"

namespace kivoly::platform {

enum MessageBoxStyle : unsigned {
    MbOk = 0x0000,
    MbOkCancel = 0x0001,
    MbYesNo = 0x0004,
    MbIconHand = 0x0010,
    MbIconQuestion = 0x0020,
    MbIconExclamation = 0x0030,
    MbIconAsterisk = 0x0040,
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

// Returns the answer (IdOk, IdYes, ...).
int MessageBox(KivoHWnd owner, const char* text, const char* caption, unsigned style);

using MessageBoxResponder = int (*)(const MessageBoxRecord& box, void* context);
// Installs a responder; null restores the default one.
void InstallMessageBoxResponder(MessageBoxResponder responder, void* context);

// Every box shown since the last clear, oldest first (kept whatever responder answered).
const std::vector<MessageBoxRecord>& ShownMessageBoxes();
void ClearShownMessageBoxes();

}  // namespace kivoly::platform
