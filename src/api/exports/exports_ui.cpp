// User-interface exports: the library's own window, made by the layer above the Grabber. A null,
// unknown or freed Grabber is refused without effect (0 where a result is due).
#include "api/exports/grabber_call.h"
#include "kivoly/kivoly.h"
#include "platform/window/message.h"
#include "ui/main_window.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

extern "C" {

KivoHWnd KivoMakeUI(KivoGrabber* grabber, KivoHWnd parent, int32_t showCommand) {
    return WithGrabber(grabber, KivoHWnd{nullptr},
                       [&](Grabber& g) { return kivoly::ui::MakeUI(g, parent, showCommand); });
}

void KivoDestroyUI(KivoGrabber* grabber) {
    WithGrabber(grabber, [](Grabber& g) { g.DestroyUserInterface(); });
}

int32_t KivoProcessWindowsMsg(KivoGrabber* grabber, const KivoMessage* message) {
    if (!message) return 0;
    const kivoly::platform::Message ours{message->hwnd,   message->message, message->wParam,
                                         message->lParam, message->time,    message->x,
                                         message->y};
    return WithGrabber(grabber, 0,
                       [&](Grabber& g) { return g.ProcessWindowsMessage(ours) ? 1 : 0; });
}

void KivoSetPic(KivoGrabber* grabber, const char* title, const KivoProcessInfo* info,
                int32_t enablePanel) {
    WithGrabber(grabber, [&](Grabber& g) { g.SetPicture(title, info, enablePanel != 0); });
}

}  // extern "C"
