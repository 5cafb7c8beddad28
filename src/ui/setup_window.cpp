#include "ui/setup_window.h"

#include <array>
#include <span>

#include "framework/window_classes.h"
#include "output/display_palette.h"
#include "platform/window/input.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "resources/string_table.h"
#include "ui/skin_drawing.h"

namespace kivoly::ui {

using namespace platform;

namespace {

// Hot rectangles of items 119-136, in the order they are tested.
constexpr std::array<Rect, 18> kItemRects = {{
    {41, 44, 150, 63},     // 119 camera
    {40, 64, 164, 83},     // 120 tape
    {37, 119, 153, 138},   // 121 moving
    {35, 139, 131, 158},   // 122 still
    {34, 160, 169, 178},   // 123 70 ns still
    {33, 181, 184, 198},   // 124 35 ns still
    {205, 44, 274, 63},    // 125 colour
    {205, 64, 322, 83},    // 126 grey
    {205, 83, 326, 102},   // 127 colour negative
    {205, 103, 376, 123},  // 128 grey negative
    {204, 159, 361, 179},  // 129 new window
    {203, 180, 360, 199},  // 130 current window
    {397, 44, 494, 63},    // 131 320 x 240
    {398, 64, 496, 83},    // 132 640 x 480
    {399, 84, 512, 103},   // 133 1500 x 1125
    {401, 135, 526, 153},  // 134 terminate video
    {401, 155, 503, 173},  // 135 do not terminate
    {408, 188, 509, 200},  // 136 save settings
}};

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

enum Command : int {
    kToggleVideo = 4,
    kSaveSettingsKey = 11,
    kUp = 14,
    kDown = 15,
    kNext = 16,
    kPrevious = 17,
};

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
    if (item < kFirstItem || item > kSaveSettings) return {};
    return kItemRects[static_cast<std::size_t>(item - kFirstItem)];
}

int SetupWindow::ItemAt(Point point) {
    for (int item = kFirstItem; item <= kSaveSettings; ++item) {
        if (ItemRect(item).Contains(point)) return item;
    }
    return 0;
}

bool SetupWindow::IsMarked(int item, const SetupRecords& r) {
    const KivoGrabInfo& g = r.grabInfo;
    switch (item) {
        case 119:
            return g.CameraInput != 0;
        case 120:
            return g.CameraInput == 0;
        case 121:
            return g.Quality == 0;
        case 122:
            return g.Quality == 1;
        case 123:
            return g.Quality == 2;
        case 124:
            return g.Quality == 3;
        case 125:
            return g.Negative == 0 && g.UseColor != 0;
        case 126:
            return g.Negative == 0 && g.UseColor == 0;
        case 127:
            return g.Negative != 0 && g.UseColor != 0;
        case 128:
            return g.Negative != 0 && g.UseColor == 0;
        case 129:
            return r.windowOption == 0;
        case 130:
            return r.windowOption != 0;
        case 131:
            return r.processInfo.Width == 320;
        case 132:
            return r.processInfo.Width == 640;
        case 133:
            return r.processInfo.Width == 1500;
        case 134:
            return g.TerminateVideo != 0;
        case 135:
            return g.TerminateVideo == 0;
        default:
            return false;
    }
}

void SetupWindow::Choose(int item, SetupRecords& r) {
    KivoGrabInfo& g = r.grabInfo;
    switch (item) {
        case 119:
            g.CameraInput = 1;
            break;
        case 120:
            // The finest quality needs the steady timing of a camera.
            g.CameraInput = 0;
            if (g.Quality == 3) g.Quality = 2;
            break;
        case 121:
            g.Quality = 0;
            break;
        case 122:
            g.Quality = 1;
            break;
        case 123:
            g.Quality = 2;
            break;
        case 124:
            g.Quality = 3;
            g.CameraInput = 1;
            break;
        case 125:
            g.Negative = 0;
            g.UseColor = 1;
            break;
        case 126:
            g.Negative = 0;
            g.UseColor = 0;
            break;
        case 127:
            g.Negative = 1;
            g.UseColor = 1;
            break;
        case 128:
            g.Negative = 1;
            g.UseColor = 0;
            break;
        case 129:
            r.windowOption = 0;
            break;
        case 130:
            r.windowOption = 1;
            break;
        case 131:
            r.processInfo.Width = 320;
            r.processInfo.Height = 240;
            break;
        case 132:
            r.processInfo.Width = 640;
            r.processInfo.Height = 480;
            break;
        case 133:
            r.processInfo.Width = 1500;
            r.processInfo.Height = 1125;
            break;
        case 134:
            g.TerminateVideo = 1;
            break;
        case 135:
            g.TerminateVideo = 0;
            break;
        default:
            break;
    }
}

SetupWindow::SetupWindow(Grabber& grabber, KivoHWnd mainWindow, const SkinMembers& skin)
    : grabber_(grabber), mainWindow_(mainWindow), skin_(skin) {
    RegisterFrameworkClass(FrameworkClass::Setup);
    const KivoBitmapInfoHeader* background = skin[kSetupBackground];
    char title[32];
    LoadResourceString(4, title, sizeof title);
    hwnd = CreateWindow(0, FrameworkClassName(FrameworkClass::Setup), title, WsChild, 0, 0,
                        background ? background->biWidth : 0, background ? background->biHeight : 0,
                        mainWindow, 0, this);
}

SetupWindow::~SetupWindow() {
    DestroyOwnWindow();
}

SetupRecords SetupWindow::ReadRecords() const {
    return {grabber_.grabInfo, grabber_.committedProcessInfo, grabber_.showProgress,
            grabber_.windowOption, grabber_.kivolyIsExe};
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
        KivoProcessInfo inUse = grabber_.processInfo;
        inUse.Width = records.processInfo.Width;
        inUse.Height = records.processInfo.Height;
        grabber_.SetProcessInfo(inUse);
    }
    grabber_.committedProcessInfo = records.processInfo;
    grabber_.windowOption = records.windowOption;
}

void SetupWindow::DrawMarks(const SetupRecords& records, int onlyGroupOf) {
    if (!hwnd) return;
    DeviceContext* dc = GetDC(hwnd);
    if (!dc) return;
    const KivoBitmapInfoHeader* mark = skin_[kSetupMark];
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
    const KivoBitmapInfoHeader* image = skin_[kSaveSettingsPressed];
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
    if (command == kUp || command == kDown) {
        if (group < 0) return;
        const int target = item + (command == kUp ? -1 : 1);
        if (target >= kGroups[group].first && target <= kGroups[group].last) MoveTo(target);
        return;
    }
    const int groups = static_cast<int>(kGroups.size());
    int next;
    if (group < 0) {
        next = command == kNext ? kInputGroup : kVideoGroup;
    } else {
        next = (group + (command == kNext ? 1 : groups - 1)) % groups;
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
        case kToggleVideo: {
            KivoGrabInfo info = grabber_.grabInfo;
            info.TerminateVideo = info.TerminateVideo == 0 ? 1 : 0;
            SetupRecords records = ReadRecords();
            records.grabInfo = info;
            DrawMarks(records);
            grabber_.SetGrabInfo(info);
            break;
        }
        case kSaveSettingsKey:
        case kSaveSettings:
            SendMessage(mainWindow_, WmCommand, kSaveSettingsKey, 0);
            break;
        case kUp:
        case kDown:
        case kNext:
        case kPrevious:
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
