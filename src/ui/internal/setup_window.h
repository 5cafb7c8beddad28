// SetupWindow: the main window's setup mode. A skinned panel of option groups (input, quality,
// colour and negative, where a new picture goes, output size, video termination) and a Save
// Settings button; the labels are the skin's artwork, the window knows only the hot rectangles
// of the items. A chosen item is written into the Grabber's records at once and a mark shows
// the chosen item of every group. While the button is held over an item the marks show what
// choosing it would give.
#pragma once

#include "api/grabber.h"
#include "framework/window_object.h"
#include "platform/gdi/geometry.h"
#include "ui/skin_members.h"

namespace kivoly::ui {

// What the items of the setup window read and write.
struct SetupRecords {
    KivoGrabInfo grabInfo;
    KivoProcessInfo processInfo;  // the committed one
    int32_t windowOption;
};

class SetupWindow : public WindowObject {
  public:
    static constexpr int kFirstItem = 119;
    static constexpr int kLastChoice = 135;
    static constexpr int kSaveSettings = 136;

    // A hidden child of `mainWindow` at (0, 0) with the size of the setup background.
    SetupWindow(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin);
    ~SetupWindow() override;

    platform::LResult WindowProc(uint32_t message, platform::WParam first,
                                 platform::LParam second) override;

    // An item's command (119-136), the video toggle (4), save settings (11) or a keyboard move
    // that the main window passes on in the setup mode (14-17).
    void HandleCommand(int command);

    // The item whose rectangle holds the point (window co-ordinates), 0 for none.
    static int ItemAt(platform::Point point);
    static platform::Rect ItemRect(int item);
    // Whether the item's mark shows with these records.
    static bool IsMarked(int item, const SetupRecords& records);
    // The records after choosing the item.
    static void Choose(int item, SetupRecords& records);

  private:
    SetupRecords ReadRecords() const;
    void ChooseItem(int item);
    void DrawMarks(const SetupRecords& records, int onlyGroupOf = 0);
    void DrawSaveButton(bool pressed);
    void Paint();
    void MouseMove(platform::Point point);
    void ButtonUp(platform::Point point);
    void MoveTo(int item);
    void KeyboardMove(int command);
    int ItemUnderCursor() const;

    Grabber& grabber_;
    KivoHWnd mainWindow_;
    const SkinMembers& skin_;
    int currentItem_ = 0;  // the item pressed while the mouse is captured (0: none)
};

}  // namespace kivoly::ui
