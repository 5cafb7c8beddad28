// Life and state exports: one-line forwards to the Grabber. A null, unknown or freed Grabber or
// a null record pointer is refused without effect (0 where a result is due).
#include <new>

#include "api/exports/grabber_call.h"
#include "api/exports/host_device.h"
#include "kivoly/kivoly.h"

using kivoly::Grabber;
using kivoly::WithGrabber;

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

// Freeing twice, or a handle never handed out, does nothing.
void KivoFree(KivoGrabber* grabber) {
    Grabber::Release(Grabber::From(grabber));
}

void KivoGetGrabInfo(KivoGrabber* grabber, KivoGrabInfo* info) {
    if (info) WithGrabber(grabber, [&](Grabber& g) { *info = g.GrabInfo(); });
}

void KivoSetGrabInfo(KivoGrabber* grabber, const KivoGrabInfo* info) {
    if (info) WithGrabber(grabber, [&](Grabber& g) { g.SetGrabInfo(*info); });
}

void KivoGetProcessInfo(KivoGrabber* grabber, KivoProcessInfo* info) {
    if (info) WithGrabber(grabber, [&](Grabber& g) { *info = g.ProcessInfo(); });
}

void KivoSetProcessInfo(KivoGrabber* grabber, const KivoProcessInfo* info) {
    if (info) WithGrabber(grabber, [&](Grabber& g) { g.SetProcessInfo(*info); });
}

int32_t KivoGetShowProgress(KivoGrabber* grabber) {
    return WithGrabber(grabber, 0, [](Grabber& g) { return g.ShowProgress(); });
}

void KivoSetShowProgress(KivoGrabber* grabber, int32_t show) {
    WithGrabber(grabber, [&](Grabber& g) { g.SetShowProgress(show != 0); });
}

int32_t KivoGetWindowOpt(KivoGrabber* grabber) {
    return WithGrabber(grabber, 0, [](Grabber& g) { return g.WindowOption(); });
}

int32_t KivoGetKivolyIsExe(KivoGrabber* grabber) {
    return WithGrabber(grabber, 0, [](Grabber& g) { return g.IsExe(); });
}

void KivoSetKivolyIsExe(KivoGrabber* grabber, int32_t isExe) {
    WithGrabber(grabber, [&](Grabber& g) { g.SetIsExe(isExe); });
}

void KivoSetCallback(KivoGrabber* grabber, int32_t slot, KivoCallback callback) {
    WithGrabber(grabber, [&](Grabber& g) { g.SetCallback(slot, callback); });
}
}
