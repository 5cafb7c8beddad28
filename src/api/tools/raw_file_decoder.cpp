// Raw files decoded the way a host drives the library: each raw file is replayed through a
// RawFileSource into a capture store's Decode, the same acquisition the library runs for a device
// capture, and the picture is converted as KivoProcYUVToRGB converts it.
#include "api/decode_feedback.h"
#include "api/grabber.h"
#include "api/picture_conversion.h"
#include "capture/raw_file_source.h"
#include "decode/yuv_image.h"
#include "kivoly/tools.h"
#include "output/picture_window.h"
#include "resources/string_table.h"

namespace kivoly::tools {

namespace {

// The text the library shows for a failed acquisition.
std::string DecodeFailure(DecodeResult result) {
    const int id = result == DecodeNoVideo ? 59 : result == DecodeOutOfMemory ? 30 : 61;
    return result == DecodeAborted ? "decoding was stopped" : StringText(id);
}

}  // namespace

struct RawFileDecoder::Store {
    std::unique_ptr<YuvImage> yuv;
    KivoHGlobal dib = nullptr;
};

RawFileDecoder::RawFileDecoder(KivoGrabber* grabber)
    : grabber_(grabber), store_(std::make_unique<Store>()) {}

RawFileDecoder::~RawFileDecoder() {
    KivoFreeDib(store_->dib);
}

KivoHGlobal RawFileDecoder::Decode(const std::string& rawPath, std::string& error) {
    Grabber& grabber = *Grabber::From(grabber_);
    std::unique_ptr<YuvImage>& yuv = store_->yuv;
    yuv.reset(YuvImage::ReuseOrCreate(yuv.release(), grabber.GrabInfo(), nullptr));
    if (!yuv) {
        error = StringText(30);
        return nullptr;
    }
    RawFileSource source(rawPath.c_str());
    grabber.BeginBusy();
    DecodeFeedback progress(grabber);
    const DecodeResult result = yuv->Decode(grabber.GrabInfo(), &progress, nullptr, &source);
    grabber.EndBusy();
    if (result != DecodeOk) {
        error = DecodeFailure(result);
        return nullptr;
    }
    // The picture is ours, not one the library handed out: converted directly.
    // The bitmap passed in is filled again, or freed when it no longer fits.
    store_->dib = ConvertPicture(grabber, yuv.get(), store_->dib);
    grabber.SetCurrentPicture(nullptr);
    if (store_->dib == nullptr) error = "the picture could not be converted";
    return store_->dib;
}

void PreparePictureWindow() {
    RegisterPictureWindowClass();
}

}  // namespace kivoly::tools
