// What the adjustment panel's small preview costs: one full pass of its 96 rows, each row a
// posted message that converts one row in the quick mode and draws it, and a slider step from
// the command through to the last row repainted (the user sees it within this time).
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "output/packed_dib.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "support/grabber_probe.h"
#include "ui/internal/process_panel.h"
#include "ui/internal/process_preview.h"

namespace {

using namespace kivoly;

// The members the panel draws from, blank: the drawing costs the same whatever they show.
class BlankSkin {
  public:
    BlankSkin() {
        Add(ui::kValueFrames, 25, 14, ui::kValueFrameCount);
        Add(ui::kKnobFrames, 36, 39, ui::kKnobFrameCount);
        Add(ui::kSliderFrames, 56, 30, ui::kSliderFrameCount);
        for (int member : {ui::kResetPressed, ui::kGoPressed, ui::kGoReleased})
            Add(member, 92, 40, 1);
        Add(ui::kAdjustBackground, 540, 211, 1);
    }
    ~BlankSkin() {
        for (platform::GlobalHandle handle : handles_) {
            if (handle == nullptr) continue;
            platform::GlobalUnlock(handle);
            platform::GlobalFree(handle);
        }
    }
    ui::SkinMembers members;

  private:
    void Add(int member, int width, int frameHeight, int frames) {
        platform::GlobalHandle handle = CreateDib(24, width, frameHeight * frames);
        platform::BitmapInfoHeader* header = LockDib(handle);
        header->biHeight = frameHeight;
        header->biSizeImage /= static_cast<uint32_t>(frames);
        handles_[member] = handle;
        members.member[static_cast<std::size_t>(member)] = header;
    }
    platform::GlobalHandle handles_[ui::kSkinMemberCount + 1] = {};
};

std::unique_ptr<YuvImage> Picture() {
    auto yuv = std::make_unique<YuvImage>(kSampleWidth, 484, true, false, 0);
    for (int line = 0; line < yuv->lineCount; ++line) {
        uint8_t* samples = yuv->lineTable.Line(line);
        for (int x = 0; x < kSampleWidth; ++x) {
            samples[x] = static_cast<uint8_t>(70 + (x * 7 + line * 11) % 170);
            samples[kSampleWidth + x] = static_cast<uint8_t>((x * 5 + line * 3) % 200 - 100);
        }
    }
    yuv->medianLevel = 130;
    return yuv;
}

void Pump() {
    platform::Message message;
    while (platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
        platform::TranslateMessage(message);
        platform::DispatchMessage(message);
    }
}

// A main window, a panel showing a picture, and the settings folder kept away from the user's.
class PanelRig {
  public:
    PanelRig() {
        if (mkdtemp(folder_)) setenv("KIVOLY_HOME", folder_, 1);
        platform::ResetWindowSystem();
        platform::RegisterClass({"BenchMain", platform::DefWindowProc});
        main = platform::CreateWindow(0, "BenchMain", "Kivoly",
                                      platform::WsPopup | platform::WsVisible, 100, 100, 540, 240,
                                      nullptr, 0, nullptr);
        grabber = std::make_unique<Grabber>();
        test::GrabberProbe::ShowPicture(*grabber, main);
        grabber->SetCurrentPicture(picture.get());
        panel = std::make_unique<ui::ProcessPanel>(*grabber, main, skin.members);
        panel->ShowPanel(true);
        Pump();
    }
    ~PanelRig() {
        panel.reset();
        grabber.reset();
        platform::ResetWindowSystem();
        rmdir(folder_);
    }

    BlankSkin skin;
    std::unique_ptr<YuvImage> picture = Picture();
    KivoHWnd main = nullptr;
    std::unique_ptr<Grabber> grabber;
    std::unique_ptr<ui::ProcessPanel> panel;

  private:
    char folder_[32] = "/tmp/kivoly-bench-XXXXXX";
};

void BM_PreviewRenderOf96Rows(benchmark::State& state) {
    PanelRig rig;
    for (auto _ : state) {
        rig.panel->Preview().Refresh();
        if (!rig.panel->Preview().IsRendering()) state.SkipWithError("the preview did not render");
        Pump();
    }
    state.SetItemsProcessed(state.iterations() * ui::ProcessPreview::kHeight);
}
BENCHMARK(BM_PreviewRenderOf96Rows)->Unit(benchmark::kMillisecond);

void BM_SliderStepToRepaintedPreview(benchmark::State& state) {
    PanelRig rig;
    rig.panel->HandleCommand(16);  // the first slider, moved as the Up and Down keys move it
    int step = 0;
    for (auto _ : state) {
        rig.panel->HandleCommand(step++ % 2 == 0 ? 14 : 15);
        if (!rig.panel->Preview().IsRendering()) state.SkipWithError("the preview did not render");
        Pump();
    }
}
BENCHMARK(BM_SliderStepToRepaintedPreview)->Unit(benchmark::kMillisecond);

}  // namespace
