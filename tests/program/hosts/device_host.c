/* A host written in C that links libkivoly.so alone and reaches the device the environment
 * names (KIVOLY_DEVICE=sim: the simulated digitizer showing colour bars). It captures a 320 x
 * 240 picture, reads its pixels through the bitmap lock and checks the bars: grey, yellow,
 * cyan, green, magenta, red, blue from left to right. Then it runs one preview frame. Prints
 * the first thing that differs and exits non-zero. */
#include <stdio.h>
#include <stdlib.h>

#include "kivoly/host.h"
#include "kivoly/kivoly.h"

static int frames = 0;

static int32_t OneFrame(void) {
    ++frames;
    return 0; /* one frame is enough */
}

static int Near(int got, int wanted) {
    return abs(got - wanted) <= 40;
}

int main(void) {
    static const int bars[7][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                   {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    KivoGrabber* grabber = KivoAlloc();
    KivoProcessInfo process;
    KivoGetProcessInfo(grabber, &process);
    process.Width = 320;
    process.Height = 240;
    process.ShowWhileProcessing = 0;
    KivoSetProcessInfo(grabber, &process);

    KivoHGlobal dib = KivoScanAndProcess(grabber, NULL);
    if (!dib) {
        printf("no picture from the device\n");
        return 1;
    }
    const KivoBitmapInfoHeader* header = KivolyHostLockBitmap(dib);
    if (!header || header->biWidth != 320 || header->biHeight != 240 || header->biBitCount != 24) {
        printf("not a 320 x 240 24-bit bitmap\n");
        return 1;
    }
    const long stride = (320 * 3 + 3) / 4 * 4;
    if (KivolyHostBitmapSize(dib) < (int64_t)(header->biSize + stride * 240)) {
        printf("the bitmap is smaller than its rows\n");
        return 1;
    }
    /* Row 60 from the top, in the middle of each bar; rows are stored bottom-up, blue first. */
    const unsigned char* row = (const unsigned char*)header + header->biSize + stride * (239 - 60);
    int failures = 0;
    for (int bar = 0; bar < 7; ++bar) {
        const unsigned char* px = row + 3 * ((2 * bar + 1) * 320 / 14);
        if (!Near(px[2], bars[bar][0]) || !Near(px[1], bars[bar][1]) ||
            !Near(px[0], bars[bar][2])) {
            printf("bar %d: %d %d %d\n", bar, px[2], px[1], px[0]);
            ++failures;
        }
    }
    if (KivolyHostUnlockBitmap(dib) != 0) {
        printf("the bitmap stays locked\n");
        ++failures;
    }
    KivoFreeDib(dib);

    KivoSetCallback(grabber, KivoCallbackPreviewFrame, OneFrame);
    if (!KivoStartPreviewing(grabber) || frames != 1 || !KivoGetPreviewDIB(grabber)) {
        printf("the preview did not run one frame (%d)\n", frames);
        ++failures;
    }
    if (KivoGetStatus(grabber) != KivoStatusIdle) {
        printf("the device is still held\n");
        ++failures;
    }
    KivoFree(grabber);
    if (failures == 0) printf("ok\n");
    return failures == 0 ? 0 : 1;
}
