#include "api/handed_out.h"

#include <unordered_set>

#include "api/grabber.h"
#include "decode/yuv_image.h"

namespace kivoly {

namespace {

// Function-local, so that Grabbers made by static objects of other files find them ready.
std::unordered_set<Grabber*>& Grabbers() {
    static std::unordered_set<Grabber*> grabbers;
    return grabbers;
}

std::unordered_set<YuvImage*>& Pictures() {
    static std::unordered_set<YuvImage*> pictures;
    return pictures;
}

}  // namespace

void RememberGrabber(Grabber* grabber) {
    Grabbers().insert(grabber);
}

void ForgetGrabber(Grabber* grabber) {
    Grabbers().erase(grabber);
}

Grabber* FindGrabber(KivoGrabber* handle) {
    auto* grabber = reinterpret_cast<Grabber*>(handle);
    return handle != nullptr && Grabbers().count(grabber) && !grabber->FreeRequested() ? grabber
                                                                                       : nullptr;
}

KivoYuvImage* HandOutPicture(YuvImage* picture) {
    if (picture != nullptr) Pictures().insert(picture);
    return reinterpret_cast<KivoYuvImage*>(picture);
}

YuvImage* FindPicture(KivoYuvImage* handle) {
    auto* picture = reinterpret_cast<YuvImage*>(handle);
    return handle != nullptr && Pictures().count(picture) ? picture : nullptr;
}

bool DestroyPicture(YuvImage* picture) {
    if (picture == nullptr || Pictures().erase(picture) == 0) return false;
    for (Grabber* grabber : Grabbers()) {
        if (grabber->CurrentPicture() == picture) grabber->SetCurrentPicture(nullptr);
    }
    delete picture;
    return true;
}

}  // namespace kivoly
