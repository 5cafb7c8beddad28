/* A host written in C that links libkivoly.so alone. It changes both records of a Grabber and
 * reads them back, and routes a key through the library's own window on the headless display;
 * then it captures a 320 x 240 picture from the device the environment names (KIVOLY_DEVICE=sim:
 * the simulated digitizer showing colour bars), reads its pixels through the bitmap lock and
 * runs one preview frame. Prints what differs and exits non-zero. */
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kivoly/host.h"
#include "kivoly/kivoly.h"

static int failures = 0;
static int frames = 0;

static void Expect(long got, long wanted, const char* what) {
    if (got != wanted) {
        printf("%s: got %ld, wanted %ld\n", what, got, wanted);
        ++failures;
    }
}

static int32_t OneFrame(void) {
    ++frames;
    return 0; /* one frame is enough */
}

static void Records(void) {
    KivoGrabber* grabber = KivoAlloc();
    KivoGrabInfo grab, grabBack;
    KivoProcessInfo process, processBack;
    KivoMessage key;
    KivoHWnd window;
    /* The records as a host lays them out: signed 32-bit fields back to back, in order. */
    Expect(sizeof grab, 8 * 4, "GrabInfo size");
    Expect(offsetof(KivoGrabInfo, ParallelPort), 3 * 4, "GrabInfo order");
    Expect(offsetof(KivoGrabInfo, Negative), 7 * 4, "GrabInfo order");
    Expect(sizeof process, 13 * 4, "ProcessInfo size");
    Expect(offsetof(KivoProcessInfo, Width), 6 * 4, "ProcessInfo order");
    Expect(offsetof(KivoProcessInfo, ColorCount), 8 * 4, "ProcessInfo order");
    Expect(offsetof(KivoProcessInfo, ShowWhileProcessing), 12 * 4, "ProcessInfo order");
    Expect((long)KivoGetDLLVersion(), 0x01010002L, "version");
    Expect(KivoCapOfPixelType(2), 1, "pixel type 2");
    Expect(KivoCapOfFileType(3), 1, "file type 3");

    KivoGetGrabInfo(grabber, &grab);
    KivoGetProcessInfo(grabber, &process);
    grab.Quality = 3;
    grab.Negative = 1;
    KivoSetGrabInfo(grabber, &grab);
    process.Width = 1500;
    process.Height = 1125;
    process.Blue = 9;
    KivoSetProcessInfo(grabber, &process);
    KivoGetGrabInfo(grabber, &grabBack);
    KivoGetProcessInfo(grabber, &processBack);
    Expect(memcmp(&grab, &grabBack, sizeof grab), 0, "grab record read back");
    Expect(memcmp(&process, &processBack, sizeof process), 0, "process record read back");
    Expect(KivoGetLineSize(grabber), 4500, "line size at 1500");

    window = KivoMakeUI(grabber, NULL, 5);
    Expect(window != NULL, 1, "main window made");
    Expect(KivoMakeUI(grabber, NULL, 5) == window, 1, "main window made once");
    memset(&key, 0, sizeof key);
    key.hwnd = window;
    key.message = 0x100; /* key down */
    key.wParam = 'A';    /* Adjust */
    Expect(KivoProcessWindowsMsg(grabber, &key), 1, "the window's message taken");
    KivoDestroyUI(grabber);
    Expect(KivoProcessWindowsMsg(grabber, &key), 0, "no window after KivoDestroyUI");
    KivoFree(grabber);
}

/* Returns 0 when the device gave no picture. */
static int Device(void) {
    /* The bars from left to right: grey, yellow, cyan, green, magenta, red, blue. */
    static const int bars[7][3] = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191}, {0, 191, 0},
                                   {191, 0, 191},   {191, 0, 0},   {0, 0, 191}};
    KivoGrabber* grabber = KivoAlloc();
    KivoProcessInfo process;
    KivoHGlobal dib;
    const KivoBitmapInfoHeader* header;
    const unsigned char* row;
    int bar;
    KivoGetProcessInfo(grabber, &process);
    process.Width = 320;
    process.Height = 240;
    process.ShowWhileProcessing = 0;
    KivoSetProcessInfo(grabber, &process);
    dib = KivoScanAndProcess(grabber, NULL);
    if (!dib) return 0;
    header = KivolyHostLockBitmap(dib);
    if (!header || header->biWidth != 320 || header->biHeight != 240 || header->biBitCount != 24 ||
        KivolyHostBitmapSize(dib) < (int64_t)(header->biSize + 320 * 3 * 240)) {
        printf("not a whole 320 x 240 24-bit bitmap\n");
        return 0;
    }
    /* Row 60 from the top, in the middle of each bar; rows are stored bottom-up, blue first. */
    row = (const unsigned char*)header + header->biSize + 320 * 3 * (239 - 60);
    for (bar = 0; bar < 7; ++bar) {
        const unsigned char* px = row + 3 * ((2 * bar + 1) * 320 / 14);
        if (abs(px[2] - bars[bar][0]) > 40 || abs(px[1] - bars[bar][1]) > 40 ||
            abs(px[0] - bars[bar][2]) > 40) {
            printf("bar %d: %d %d %d\n", bar, px[2], px[1], px[0]);
            ++failures;
        }
    }
    Expect(KivolyHostUnlockBitmap(dib), 0, "the bitmap unlocked");
    KivoFreeDib(dib);

    KivoSetCallback(grabber, KivoCallbackPreviewFrame, OneFrame);
    Expect(KivoStartPreviewing(grabber) && KivoGetPreviewDIB(grabber), 1, "a preview frame");
    Expect(frames, 1, "preview frames");
    Expect(KivoGetStatus(grabber), KivoStatusIdle, "status after the preview");
    KivoFree(grabber);
    return 1;
}

int main(void) {
    Records();
    if (!Device()) {
        printf("no picture from the device\n");
        return 1;
    }
    if (failures == 0) printf("ok\n");
    return failures == 0 ? 0 : 1;
}
