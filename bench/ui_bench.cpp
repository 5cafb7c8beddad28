// A full repaint of the main window in each of its modes: the window and every child it shows
// repainted from the skin's members, as after the window was uncovered.
#include <benchmark/benchmark.h>

#include "api/grabber.h"
#include "platform/window/host_display.h"
#include "platform/window/message_queue.h"
#include "platform/window/paint.h"
#include "platform/window/window.h"
#include "support/grabber_probe.h"
#include "ui/main_window.h"

namespace kivoly {
namespace {

void Repaint(KivoHWnd window) {
    platform::InvalidateRect(window, nullptr, true);
    platform::Message message;
    while (platform::PeekMessage(message, nullptr, 0, 0, platform::PmRemove)) {
        platform::DispatchMessage(message);
    }
}

void MainWindowRepaint(benchmark::State& state) {
    platform::NoteHeadlessDisplayChosen();
    KivoGrabber* handle = KivoAlloc();
    KivoHWnd window = KivoMakeUI(handle, nullptr, platform::SwShow);
    if (!window) {
        state.SkipWithError("the skin archive was not found");
        KivoFree(handle);
        return;
    }
    Grabber& grabber = *Grabber::From(handle);
    auto& main = *static_cast<ui::MainWindow*>(grabber.Interface());
    const auto mode = static_cast<ui::Mode>(state.range(0));
    // The preview mode without a device: a preview counts as running, so none is started.
    test::GrabberProbe::SetPreviewState(grabber, mode == ui::Mode::Preview ? 2 : 0);
    main.SetMode(mode);
    test::GrabberProbe::SetPreviewState(grabber, 0);
    Repaint(window);
    for (auto _ : state)
        Repaint(window);
    KivoDestroyUI(handle);
    KivoFree(handle);
}
BENCHMARK(MainWindowRepaint)->DenseRange(0, 4)->ArgName("mode")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kivoly
