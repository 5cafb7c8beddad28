// User-interface exports: the library's own window, made by the layer above the Grabber.
#include "api/grabber.h"
#include "kivoly/kivoly.h"
#include "ui/main_window.h"

using kivoly::Grabber;

extern "C" {

KivoHWnd KivoMakeUI(KivoGrabber* grabber, KivoHWnd parent, int32_t showCommand) {
    return grabber ? kivoly::ui::MakeUI(*Grabber::From(grabber), parent, showCommand) : nullptr;
}

void KivoDestroyUI(KivoGrabber* grabber) {
    if (grabber) Grabber::From(grabber)->DestroyUserInterface();
}

int32_t KivoProcessWindowsMsg(KivoGrabber* grabber, const KivoMessage* message) {
    return grabber && message && Grabber::From(grabber)->ProcessWindowsMessage(*message) ? 1 : 0;
}

void KivoSetPic(KivoGrabber* grabber, const char* title, const KivoProcessInfo* info,
                int32_t enablePanel) {
    if (grabber) Grabber::From(grabber)->SetPicture(title, info, enablePanel != 0);
}

}  // extern "C"
