// The commands of the main window's keyboard table and buttons, as the main window, the
// adjustment panel and the setup window receive them.
#pragma once

namespace kivoly::ui {

enum MainCommand : int {
    kCmdStopPreview = 1,
    kCmdPreview = 2,
    kCmdSetup = 3,
    kCmdSetupItem = 4,
    kCmdAdjust = 5,
    kCmdCapture = 6,
    kCmdHelp = 7,
    kCmdSave = 8,
    kCmdProcess = 9,
    kCmdReset = 10,
    kCmdSaveSettings = 11,
    kCmdUp = 14,
    kCmdDown = 15,
    kCmdNext = 16,
    kCmdPrevious = 17,
    kCmdShiftUp = 18,
    kCmdShiftDown = 19,
    kCaptureButtonId = 104,
    kPreviewButtonId = 105,
    kAdjustButtonId = 106,
    kSaveButtonId = 107,
    kSetupButtonId = 108,
    kHelpButtonId = 109,
};

}  // namespace kivoly::ui
