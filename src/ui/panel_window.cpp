#include "ui/internal/panel_window.h"

#include "platform/gdi/bitmap_info_header.h"
#include "platform/window/window.h"
#include "resources/string_table.h"

namespace kivoly::ui {

using namespace platform;

KivoHWnd CreatePanelWindow(FrameworkClass kind, int titleId,
                           const platform::BitmapInfoHeader* background, KivoHWnd mainWindow,
                           WindowObject* object) {
    RegisterFrameworkClass(kind);
    char title[32];
    LoadResourceString(titleId, title, sizeof title);
    return CreateWindow(0, FrameworkClassName(kind), title, WsChild, 0, 0,
                        background ? background->biWidth : 0, background ? background->biHeight : 0,
                        mainWindow, 0, object);
}

}  // namespace kivoly::ui
