#include "api/picture_conversion.h"

#include "api/grabber.h"
#include "decode/yuv_image.h"
#include "output/output_bitmap.h"
#include "output/packed_dib.h"
#include "output/rgb_conversion.h"
#include "platform/global_memory.h"

namespace kivoly {

namespace {

// The caller's bitmap when it can take the picture as it is; otherwise it is freed.
KivoBitmapInfoHeader* AcceptBitmap(KivoHGlobal& dib, const KivoProcessInfo& info) {
    if (dib == nullptr) return nullptr;
    if (!platform::GlobalIsValid(dib)) {
        // Not a block of ours: neither used nor freed, and not handed back.
        dib = nullptr;
        return nullptr;
    }
    KivoBitmapInfoHeader* header = LockDib(dib);
    if (header != nullptr && header->biWidth == info.Width && header->biHeight == info.Height &&
        header->biBitCount == 24 && header->biCompression == 0) {
        return header;
    }
    if (header != nullptr) platform::GlobalUnlock(dib);
    platform::GlobalFree(dib);
    dib = nullptr;
    return nullptr;
}

}  // namespace

KivoHGlobal ConvertPicture(Grabber& grabber, YuvImage* yuv, KivoHGlobal dib) {
    if (yuv != nullptr) grabber.currentPicture = yuv;
    YuvImage* picture = grabber.currentPicture;
    if (picture == nullptr) {
        grabber.ChangeStatus(KivoStatusIdle);
        return nullptr;
    }
    grabber.ChangeStatus(KivoStatusIdle);
    const KivoProcessInfo info = grabber.processInfo;
    KivoBitmapInfoHeader* header = AcceptBitmap(dib, info);
    if (header == nullptr) {
        dib = CreateOutputBitmap(info, info.ShowWhileProcessing != 0);
        header = LockDib(dib);
    }
    if (header != nullptr && PrepareConversion(*picture, info)) {
        const int height = header->biHeight;
        const int stride = DibStride(header->biBitCount, header->biWidth);
        uint8_t* pixels = DibPixels(header);
        for (int row = 0; row < height; ++row) {
            ConvertRow(*picture, pixels + static_cast<std::size_t>(stride) * (height - 1 - row),
                       row, false);
        }
    }
    if (header != nullptr) platform::GlobalUnlock(dib);
    grabber.ChangeStatus(KivoStatusIdle);
    return dib;
}

void ConvertPictureRow(Grabber& grabber, uint8_t* dst, int row, YuvImage* yuv) {
    if (yuv == nullptr || !PrepareConversion(*yuv, grabber.processInfo)) return;
    grabber.currentPicture = yuv;
    if (dst == nullptr || row < 0 || row >= grabber.processInfo.Height) return;
    ConvertRow(*yuv, dst, row, false);
}

bool UsePicture(Grabber& grabber, YuvImage* yuv) {
    // Using the same picture again must not destroy it first.
    if (grabber.currentPicture != nullptr && grabber.currentPicture != yuv) {
        delete grabber.currentPicture;
    }
    grabber.currentPicture = yuv;
    return yuv != nullptr && PrepareConversion(*yuv, grabber.processInfo);
}

}  // namespace kivoly
