#include "ui/panel_test_skin.h"

#include <cstdlib>
#include <string>

#include "output/packed_dib.h"
#include "output/skin_archive.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/window/message_queue.h"
#include "platform/window/screen_picture.h"
#include "platform/window/window.h"
#include "support/window_session.h"

namespace kivoly::test {

using namespace platform;

namespace {

int gLastMainCommand = 0;

LResult MainProc(KivoHWnd window, uint32_t message, WParam first, LParam second) {
    if (message == WmCommand) gLastMainCommand = LoWord(first);
    return DefWindowProc(window, message, first, second);
}

}  // namespace

BuiltSkin::BuiltSkin() {
    SetSkinArchiveOverride(KIVOLY_SKIN_ARCHIVE_PATH);
    for (int number = 1; number <= ui::kSkinMemberCount; ++number) {
        SkinBitmap member = ReadNextSkinBitmap(false);
        handles_[number] = member.handle;
        members_.member[static_cast<std::size_t>(number)] = member.header;
    }
    ReadNextSkinBitmap(true);
    SetSkinArchiveOverride(nullptr);
    const std::pair<int, int> strips[] = {{ui::kValueFrames, ui::kValueFrameCount},
                                          {ui::kKnobFrames, ui::kKnobFrameCount},
                                          {ui::kSliderFrames, ui::kSliderFrameCount}};
    for (auto [number, frames] : strips) {
        if (platform::BitmapInfoHeader* header = members_[number]) {
            header->biHeight /= frames;
            header->biSizeImage /= static_cast<uint32_t>(frames);
        }
    }
}

BuiltSkin::~BuiltSkin() {
    for (int number = 1; number <= ui::kSkinMemberCount; ++number) {
        SkinBitmap member{handles_[number], members_[number]};
        FreeSkinBitmap(member);
    }
}

bool BuiltSkin::Complete() const {
    for (int number = 1; number <= ui::kSkinMemberCount; ++number) {
        if (members_[number] == nullptr || members_[number]->biBitCount != 24) return false;
    }
    return true;
}

uint32_t BuiltSkin::Pixel(int member, int x, int y, int frame, int frameCount) const {
    const platform::BitmapInfoHeader* header = members_[member];
    const int height = header->biHeight;
    const std::size_t stride = std::size_t(DibStride(header->biBitCount, header->biWidth));
    const std::size_t memoryRow = std::size_t((frameCount - 1 - frame) * height + height - 1 - y);
    const uint8_t* pixel = DibPixels(header) + memoryRow * stride + 3 * std::size_t(x);
    return uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
}

bool BuiltSkin::Shows(KivoHWnd window, Point at, int member, int frame, int frameCount) const {
    for (int y = 0; y < members_[member]->biHeight; ++y) {
        for (int x = 0; x < members_[member]->biWidth; ++x) {
            if (ClientPixel(window, at.x + x, at.y + y) != Pixel(member, x, y, frame, frameCount)) {
                return false;
            }
        }
    }
    return true;
}

bool BuiltSkin::ShowsPart(KivoHWnd window, int member, const Rect& area) const {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (ClientPixel(window, x, y) != Pixel(member, x, y)) return false;
        }
    }
    return true;
}

KivoHWnd CreateTestMainWindow() {
    gLastMainCommand = 0;
    RegisterClass({"PanelTestMain", MainProc});
    return CreateWindow(0, "PanelTestMain", "Kivoly", WsPopup | WsVisible, 100, 100, 540, 240,
                        nullptr, 0, nullptr);
}

int LastMainCommand() {
    return gLastMainCommand;
}

void SaveScreen(const char* name) {
    if (const char* folder = std::getenv("KIVOLY_SCREEN_DIR")) {
        SaveScreenPng((std::string(folder) + "/" + name + ".png").c_str());
    }
}

}  // namespace kivoly::test
