#include "ui/internal/setup_window.h"

#include <array>
#include <span>

#include "framework/window_classes.h"
#include "output/display_palette.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "ui/commands.h"
#include "ui/internal/panel_window.h"
#include "ui/internal/skin_drawing.h"

namespace kivoly::ui {

using namespace platform;

namespace {

// Every item in one place: its hot rectangle, when its mark shows and what choosing it does.
// The items are tested in this order, and the first rectangle holding the point wins.
struct Item {
    Rect rect;
    bool (*marked)(const SetupRecords&);
    void (*choose)(SetupRecords&);
};
using R = SetupRecords;

const std::array<Item, 17> kChoices = {{
    {{41, 44, 150, 63},  // 119 camera
     [](const R& r) { return r.grabInfo.CameraInput != 0; },
     [](R& r) { r.grabInfo.CameraInput = 1; }},
    {{40, 64, 164, 83},  // 120 tape: the finest quality needs a camera's steady timing
     [](const R& r) { return r.grabInfo.CameraInput == 0; },
     [](R& r) {
         r.grabInfo.CameraInput = 0;
         if (r.grabInfo.Quality == 3) r.grabInfo.Quality = 2;
     }},
    {{37, 119, 153, 138},  // 121 moving
     [](const R& r) { return r.grabInfo.Quality == 0; },
     [](R& r) { r.grabInfo.Quality = 0; }},
    {{35, 139, 131, 158},  // 122 still
     [](const R& r) { return r.grabInfo.Quality == 1; },
     [](R& r) { r.grabInfo.Quality = 1; }},
    {{34, 160, 169, 178},  // 123 70 ns still
     [](const R& r) { return r.grabInfo.Quality == 2; },
     [](R& r) { r.grabInfo.Quality = 2; }},
    {{33, 181, 184, 198},  // 124 35 ns still, from a camera
     [](const R& r) { return r.grabInfo.Quality == 3; },
     [](R& r) { r.grabInfo.Quality = 3, r.grabInfo.CameraInput = 1; }},
    {{205, 44, 274, 63},  // 125 colour
     [](const R& r) { return r.grabInfo.Negative == 0 && r.grabInfo.UseColor != 0; },
     [](R& r) { r.grabInfo.Negative = 0, r.grabInfo.UseColor = 1; }},
    {{205, 64, 322, 83},  // 126 grey
     [](const R& r) { return r.grabInfo.Negative == 0 && r.grabInfo.UseColor == 0; },
     [](R& r) { r.grabInfo.Negative = 0, r.grabInfo.UseColor = 0; }},
    {{205, 83, 326, 102},  // 127 colour negative
     [](const R& r) { return r.grabInfo.Negative != 0 && r.grabInfo.UseColor != 0; },
     [](R& r) { r.grabInfo.Negative = 1, r.grabInfo.UseColor = 1; }},
    {{205, 103, 376, 123},  // 128 grey negative
     [](const R& r) { return r.grabInfo.Negative != 0 && r.grabInfo.UseColor == 0; },
     [](R& r) { r.grabInfo.Negative = 1, r.grabInfo.UseColor = 0; }},
    {{204, 159, 361, 179},  // 129 each picture in the current window
     [](const R& r) { return r.windowOption == 0; },
     [](R& r) { r.windowOption = 0; }},
    {{203, 180, 360, 199},  // 130 a new window for every picture ("KivoToNewWindow")
     [](const R& r) { return r.windowOption != 0; },
     [](R& r) { r.windowOption = 1; }},
    {{397, 44, 494, 63},  // 131 320 x 240
     [](const R& r) { return r.processInfo.Width == 320; },
     [](R& r) { r.processInfo.Width = 320, r.processInfo.Height = 240; }},
    {{398, 64, 496, 83},  // 132 640 x 480
     [](const R& r) { return r.processInfo.Width == 640; },
     [](R& r) { r.processInfo.Width = 640, r.processInfo.Height = 480; }},
    {{399, 84, 512, 103},  // 133 1500 x 1125
     [](const R& r) { return r.processInfo.Width == 1500; },
     [](R& r) { r.processInfo.Width = 1500, r.processInfo.Height = 1125; }},
    {{401, 135, 526, 153},  // 134 terminate the video input
     [](const R& r) { return r.grabInfo.TerminateVideo != 0; },
     [](R& r) { r.grabInfo.TerminateVideo = 1; }},
    {{401, 155, 503, 173},  // 135 leave it unterminated
     [](const R& r) { return r.grabInfo.TerminateVideo == 0; },
     [](R& r) { r.grabInfo.TerminateVideo = 0; }},
}};
constexpr Rect kSaveSettingsRect{408, 188, 509, 200};  // 136

// The option groups, in the order that Next (Tab) walks them.
struct Group {
    int first;
    int last;
};
constexpr std::array<Group, 6> kGroups = {{
    {119, 120},  // input
    {121, 124},  // quality
    {125, 128},  // colour and negative
    {129, 130},  // where a new picture goes
    {131, 133},  // output size
    {134, 135},  // video termination
}};

constexpr Point kSavePressedAt{401, 179};
constexpr Point kCursorInItem{16, 10};

// The group of an item, -1 for none.
int GroupOf(int item) {
    for (std::size_t g = 0; g < kGroups.size(); ++g) {
        if (item >= kGroups[g].first && item <= kGroups[g].last) return static_cast<int>(g);
    }
    return -1;
}

constexpr int kInputGroup = 0;
constexpr int kQualityGroup = 1;
constexpr int kVideoGroup = 5;

bool IsChoice(int item) {
    return item >= SetupWindow::kFirstItem && item <= SetupWindow::kLastChoice;
}

}  // namespace

Rect SetupWindow::ItemRect(int item) {
    if (item == kSaveSettings) return kSaveSettingsRect;
    if (!IsChoice(item)) return {};
    return kChoices[static_cast<std::size_t>(item - kFirstItem)].rect;
}

int SetupWindow::ItemAt(Point point) {
    for (int item = kFirstItem; item <= kSaveSettings; ++item) {
        if (ItemRect(item).Contains(point)) return item;
    }
    return 0;
}

bool SetupWindow::IsMarked(int item, const SetupRecords& records) {
    return IsChoice(item) && kChoices[static_cast<std::size_t>(item - kFirstItem)].marked(records);
}

void SetupWindow::Choose(int item, SetupRecords& records) {
    if (IsChoice(item)) kChoices[static_cast<std::size_t>(item - kFirstItem)].choose(records);
}

SetupWindow::SetupWindow(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin)
    : grabber_(grabber), mainWindow_(mainWindow), skin_(skin) {
    hwnd = CreatePanelWindow(FrameworkClass::Setup, 4, skin[kSetupBackground], mainWindow, this);
}

SetupWindow::~SetupWindow() {
    DestroyOwnWindow();
}

SetupRecords SetupWindow::ReadRecords() const {
    return {grabber_.GrabInfo(), grabber_.CommittedProcessInfo(), grabber_.WindowOption()};
}

void SetupWindow::ChooseItem(int item) {
    SetupRecords records = ReadRecords();
    const int32_t oldWidth = records.processInfo.Width;
    Choose(item, records);
    DrawMarks(records);
    grabber_.SetGrabInfo(records.grabInfo);
    if (records.processInfo.Width != oldWidth) {
        // The size goes into the record in use as well: the adjustment panel writes that one
        // back whole, which would otherwise undo the choice before the next capture.
        KivoProcessInfo inUse = grabber_.ProcessInfo();
        inUse.Width = records.processInfo.Width;
        inUse.Height = records.processInfo.Height;
        grabber_.SetProcessInfo(inUse);
    }
    grabber_.CommitProcessInfo(records.processInfo);
    grabber_.SetWindowOption(records.windowOption);
}

void SetupWindow::DrawMarks(const SetupRecords& records, int onlyGroupOf) {
    if (!hwnd) return;
    DeviceContext* dc = GetDC(hwnd);
    if (!dc) return;
    const platform::BitmapInfoHeader* mark = skin_[kSetupMark];
    const int group = GroupOf(onlyGroupOf);
    for (int item = kFirstItem; item <= kLastChoice; ++item) {
        if (onlyGroupOf != 0) {
            // Tape and the finest quality each change the other's group as well.
            const int itemGroup = GroupOf(item);
            const bool coupled = (onlyGroupOf == 120 && itemGroup == kQualityGroup) ||
                                 (onlyGroupOf == 124 && itemGroup == kInputGroup);
            if (itemGroup != group && !coupled) continue;
        }
        const Rect rect = ItemRect(item);
        if (IsMarked(item, records)) {
            DrawSkinMember(*dc, rect.left, rect.top, mark);
        } else if (mark) {
            DrawSkinPart(
                *dc, skin_[kSetupBackground],
                {rect.left, rect.top, rect.left + mark->biWidth, rect.top + mark->biHeight});
        }
    }
    ReleaseDC(hwnd, dc);
}

void SetupWindow::DrawSaveButton(bool pressed) {
    DeviceContext* dc = GetDC(hwnd);
    if (!dc) return;
    const platform::BitmapInfoHeader* image = skin_[kSaveSettingsPressed];
    if (pressed) {
        DrawSkinMember(*dc, kSavePressedAt.x, kSavePressedAt.y, image);
    } else if (image) {
        DrawSkinPart(*dc, skin_[kSetupBackground],
                     {kSavePressedAt.x, kSavePressedAt.y, kSavePressedAt.x + image->biWidth,
                      kSavePressedAt.y + image->biHeight});
    }
    ReleaseDC(hwnd, dc);
}

void SetupWindow::Paint() {
    PaintRecord paint;
    DeviceContext* dc = BeginPaint(hwnd, paint);
    if (dc) {
        RealizeUiPalette(*dc);
        DrawSkinPart(*dc, skin_[kSetupBackground], paint.paint);
    }
    EndPaint(hwnd, paint);
    DrawMarks(ReadRecords());
}

void SetupWindow::MouseMove(Point point) {
    if (currentItem_ == 0) return;
    const bool over = ItemRect(currentItem_).Contains(point);
    if (currentItem_ == kSaveSettings) {
        DrawSaveButton(over);
        return;
    }
    SetupRecords records = ReadRecords();
    if (over) Choose(currentItem_, records);
    DrawMarks(records, currentItem_);
}

void SetupWindow::ButtonUp(Point point) {
    if (currentItem_ != 0 && GetCapture() == hwnd) {
        MouseMove(point);
        const int item = currentItem_;
        currentItem_ = 0;
        if (ItemRect(item).Contains(point)) SendMessage(hwnd, WmCommand, item, 0);
        if (item == kSaveSettings) DrawSaveButton(false);
        ReleaseCapture();
    }
    SetFocus(mainWindow_);
}

int SetupWindow::ItemUnderCursor() const {
    Point cursor;
    GetCursorPos(cursor);
    ScreenToClient(hwnd, cursor);
    return ItemAt(cursor);
}

void SetupWindow::MoveTo(int item) {
    const Rect rect = ItemRect(item);
    Point cursor{rect.left + kCursorInItem.x, rect.top + kCursorInItem.y};
    ClientToScreen(hwnd, cursor);
    SetCursorPos(cursor.x, cursor.y);
    SendMessage(hwnd, WmCommand, static_cast<WParam>(item), 0);
}

void SetupWindow::KeyboardMove(int command) {
    const int item = ItemUnderCursor();
    const int group = GroupOf(item);
    if (command == kCmdUp || command == kCmdDown) {
        if (group < 0) return;
        const int target = item + (command == kCmdUp ? -1 : 1);
        if (target >= kGroups[group].first && target <= kGroups[group].last) MoveTo(target);
        return;
    }
    const int groups = static_cast<int>(kGroups.size());
    int next;
    if (group < 0) {
        next = command == kCmdNext ? kInputGroup : kVideoGroup;
    } else {
        next = (group + (command == kCmdNext ? 1 : groups - 1)) % groups;
    }
    // Entering a group lands on its chosen item.
    const SetupRecords records = ReadRecords();
    int target = kGroups[next].first;
    for (int candidate = kGroups[next].first; candidate <= kGroups[next].last; ++candidate) {
        if (IsMarked(candidate, records)) {
            target = candidate;
            break;
        }
    }
    MoveTo(target);
}

void SetupWindow::HandleCommand(int command) {
    if (!hwnd) return;
    if (IsChoice(command)) {
        ChooseItem(command);
        return;
    }
    switch (command) {
        case kCmdSetupItem: {
            KivoGrabInfo info = grabber_.GrabInfo();
            info.TerminateVideo = info.TerminateVideo == 0 ? 1 : 0;
            SetupRecords records = ReadRecords();
            records.grabInfo = info;
            DrawMarks(records);
            grabber_.SetGrabInfo(info);
            break;
        }
        case kCmdSaveSettings:
        case kSaveSettings:
            SendMessage(mainWindow_, WmCommand, kCmdSaveSettings, 0);
            break;
        case kCmdUp:
        case kCmdDown:
        case kCmdNext:
        case kCmdPrevious:
            KeyboardMove(command);
            break;
        default:
            break;
    }
}

LResult SetupWindow::WindowProc(uint32_t message, WParam first, LParam second) {
    const Point point{PointX(second), PointY(second)};
    switch (message) {
        case WmEraseBkgnd:
            return 1;
        case WmPaint:
            Paint();
            return 0;
        case WmCommand:
            HandleCommand(LoWord(first));
            return 0;
        case WmLButtonDown:
            SetCapture(hwnd);
            currentItem_ = ItemAt(point);
            if (currentItem_ == 0) {
                ReleaseCapture();
            } else {
                MouseMove(point);
            }
            return 0;
        case WmMouseMove:
            if (GetCapture() == hwnd) MouseMove(point);
            return 0;
        case WmLButtonUp:
            ButtonUp(point);
            return 0;
        case WmCaptureChanged:
            // Another window took the mouse: the press ends without a choice.
            if (currentItem_ != 0) {
                if (currentItem_ == kSaveSettings) DrawSaveButton(false);
                currentItem_ = 0;
                DrawMarks(ReadRecords());
            }
            return 0;
        default:
            break;
    }
    return DefaultProc(message, first, second);
}

}  // namespace kivoly::ui
