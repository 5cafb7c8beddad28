// Life and state exports: one-line forwards to the Grabber. A null Grabber or record pointer is
// refused without effect (0 where a result is due).
#include <new>

#include "api/exports/host_device.h"
#include "api/grabber.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;

extern "C" {

KivoGrabber* KivoAlloc(void) {
    kivoly::EnsureDeviceChosen();
    try {
        Grabber* grabber = new (std::nothrow) Grabber;
        return grabber ? grabber->Handle() : nullptr;
    } catch (...) {
        return nullptr;  // memory ran out inside the construction
    }
}

void KivoFree(KivoGrabber* grabber) {
    delete Grabber::From(grabber);
}

void KivoGetGrabInfo(KivoGrabber* grabber, KivoGrabInfo* info) {
    if (grabber && info) *info = Grabber::From(grabber)->grabInfo;
}

void KivoSetGrabInfo(KivoGrabber* grabber, const KivoGrabInfo* info) {
    if (grabber && info) Grabber::From(grabber)->SetGrabInfo(*info);
}

void KivoGetProcessInfo(KivoGrabber* grabber, KivoProcessInfo* info) {
    if (grabber && info) *info = Grabber::From(grabber)->processInfo;
}

void KivoSetProcessInfo(KivoGrabber* grabber, const KivoProcessInfo* info) {
    if (grabber && info) Grabber::From(grabber)->SetProcessInfo(*info);
}

int32_t KivoGetShowProgress(KivoGrabber* grabber) {
    return grabber ? Grabber::From(grabber)->showProgress : 0;
}

void KivoSetShowProgress(KivoGrabber* grabber, int32_t show) {
    if (grabber) Grabber::From(grabber)->SetShowProgress(show != 0);
}

int32_t KivoGetWindowOpt(KivoGrabber* grabber) {
    return grabber ? Grabber::From(grabber)->windowOption : 0;
}

int32_t KivoGetKivolyIsExe(KivoGrabber* grabber) {
    return grabber ? Grabber::From(grabber)->kivolyIsExe : 0;
}

void KivoSetKivolyIsExe(KivoGrabber* grabber, int32_t isExe) {
    if (grabber) Grabber::From(grabber)->kivolyIsExe = isExe;
}

void KivoSetCallback(KivoGrabber* grabber, int32_t slot, KivoCallback callback) {
    if (grabber) Grabber::From(grabber)->SetCallback(slot, callback);
}
}
