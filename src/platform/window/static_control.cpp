#include "platform/internal/window/static_control.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "platform/window/window_class.h"

namespace kivoly::platform {

namespace {}  // namespace

std::vector<std::string> WrapText(const DeviceContext& dc, const std::string& source, int width) {
    // A tab indents by four columns that never break a line (the font is fixed-pitch, so a
    // stand-in character measures as a space does).
    constexpr char kTabColumn = '\x1f';
    std::string text;
    for (char c : source) {
        if (c == '\t') {
            text.append(4, kTabColumn);
        } else {
            text.push_back(c);
        }
    }
    std::vector<std::string> lines;
    std::string line;
    size_t position = 0;
    while (position <= text.size()) {
        size_t end = text.find_first_of(" \n", position);
        if (end == std::string::npos) end = text.size();
        std::string word = text.substr(position, end - position);
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.GetTextExtent(candidate).cx > width) {
            lines.push_back(line);
            line = word;
        } else {
            line = candidate;
        }
        if (end < text.size() && text[end] == '\n') {
            lines.push_back(line);
            line.clear();
        }
        position = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    for (std::string& each : lines)
        std::replace(each.begin(), each.end(), kTabColumn, ' ');
    return lines;
}

namespace {

LResult StaticProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmPaint) {
        PaintRecord paint;
        if (DeviceContext* dc = BeginPaint(window, paint)) {
            Rect client;
            GetClientRect(window, client);
            dc->SetBackgroundMode(BackgroundMode::Transparent);
            std::string text;
            for (char c : GetWindowText(window)) {
                if (c != '&') text += c;
            }
            int top = 0;
            int lineHeight = dc->GetTextMetrics().height;
            bool centred = (GetStyle(window) & 0xF) == SsCenter;
            for (const std::string& line : WrapText(*dc, text, client.Width())) {
                int left = centred ? (client.Width() - dc->GetTextExtent(line).cx) / 2 : 0;
                dc->TextOut(left, top, line);
                top += lineHeight;
            }
        }
        EndPaint(window, paint);
        return 0;
    }
    if (message == WmSetText) {
        LResult result = DefWindowProc(window, message, first, second);
        InvalidateRect(window, nullptr, true);
        return result;
    }
    return DefWindowProc(window, message, first, second);
}

}  // namespace

void RegisterStaticClass() {
    WindowClass windowClass;
    windowClass.name = kStaticClass;
    windowClass.procedure = StaticProc;
    windowClass.style = CsParentDc;
    windowClass.background = ClassBackground::LightGrey;
    RegisterClass(windowClass);
}

}  // namespace kivoly::platform
