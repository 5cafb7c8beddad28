/* A host written in C against kivoly.h alone: it creates a Grabber, reads the defaults of both
 * records (there is no settings file), changes them, reads them back, makes the library's own
 * window on the headless display, routes messages through it and frees the Grabber. Prints
 * what differs and exits non-zero. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "kivoly/kivoly.h"

/* The records as a host lays them out: signed 32-bit fields back to back, in order. */
_Static_assert(sizeof(KivoGrabInfo) == 8 * 4, "GrabInfo size");
_Static_assert(offsetof(KivoGrabInfo, Negative) == 7 * 4, "GrabInfo order");
_Static_assert(offsetof(KivoGrabInfo, ParallelPort) == 3 * 4, "GrabInfo order");
_Static_assert(sizeof(KivoProcessInfo) == 13 * 4, "ProcessInfo size");
_Static_assert(offsetof(KivoProcessInfo, Width) == 6 * 4, "ProcessInfo order");
_Static_assert(offsetof(KivoProcessInfo, ColorCount) == 8 * 4, "ProcessInfo order");
_Static_assert(offsetof(KivoProcessInfo, ShowWhileProcessing) == 12 * 4, "ProcessInfo order");

static int failures = 0;

static void Expect(long got, long wanted, const char* what) {
    if (got != wanted) {
        printf("%s: got %ld, wanted %ld\n", what, got, wanted);
        ++failures;
    }
}

static int32_t Captured(void) {
    return 7;
}

int main(void) {
    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) {
        printf("KivoAlloc failed\n");
        return 1;
    }
    Expect((long)KivoGetDLLVersion(), 0x01010002L, "version");

    const int32_t grabDefaults[8] = {0, 1, 0, 1, -1, 1, 1, 0};
    const int32_t processDefaults[13] = {0, 0, 0, 0, 0, 0, 640, 480, 16777216, 0, 0, 0, 1};
    KivoGrabInfo grab;
    KivoProcessInfo process;
    KivoGetGrabInfo(grabber, &grab);
    KivoGetProcessInfo(grabber, &process);
    for (int i = 0; i < 8; ++i)
        Expect(((const int32_t*)&grab)[i], grabDefaults[i], "grab default");
    for (int i = 0; i < 13; ++i) {
        Expect(((const int32_t*)&process)[i], processDefaults[i], "process default");
    }
    Expect(KivoGetShowProgress(grabber), 1, "show progress default");
    Expect(KivoGetWindowOpt(grabber), 0, "window option default");
    Expect(KivoGetKivolyIsExe(grabber), 0, "host kind default");
    Expect(KivoGetLineSize(grabber), 1920, "line size");

    grab.Quality = 3;
    grab.UseColor = 0;
    grab.Negative = 1;
    grab.IODelay = 4;
    KivoSetGrabInfo(grabber, &grab);
    process.Width = 1500;
    process.Height = 1125;
    process.Brightness = -12;
    process.Blue = 9;
    KivoSetProcessInfo(grabber, &process);
    KivoSetShowProgress(grabber, 0);
    KivoSetKivolyIsExe(grabber, 1);
    KivoSetCallback(grabber, KivoCallbackCapture, Captured);
    KivoSetCallback(grabber, 18, Captured);

    KivoGrabInfo grabBack;
    KivoProcessInfo processBack;
    KivoGetGrabInfo(grabber, &grabBack);
    KivoGetProcessInfo(grabber, &processBack);
    for (int i = 0; i < 8; ++i) {
        Expect(((const int32_t*)&grabBack)[i], ((const int32_t*)&grab)[i], "grab read back");
    }
    for (int i = 0; i < 13; ++i) {
        Expect(((const int32_t*)&processBack)[i], ((const int32_t*)&process)[i],
               "process read back");
    }
    Expect(KivoGetShowProgress(grabber), 0, "show progress");
    Expect(KivoGetKivolyIsExe(grabber), 1, "host kind");
    Expect(KivoGetLineSize(grabber), 4500, "line size at 1500");
    Expect(KivoCapOfPixelType(2), 1, "pixel type 2");
    Expect(KivoCapOfFileType(3), 1, "file type 3");

    /* The library's window: made once, its messages taken, gone with KivoDestroyUI. */
    KivoHWnd window = KivoMakeUI(grabber, NULL, 5);
    Expect(window != NULL, 1, "main window made");
    Expect(KivoMakeUI(grabber, NULL, 5) == window, 1, "main window made once");
    KivoMessage key;
    memset(&key, 0, sizeof key);
    key.hwnd = window;
    key.message = 0x100; /* key down */
    key.wParam = 'A';    /* Adjust */
    Expect(KivoProcessWindowsMsg(grabber, &key), 1, "the window's message taken");
    KivoSetPic(grabber, "picture", NULL, 1);
    KivoSetPic(grabber, NULL, NULL, 0);
    KivoDestroyUI(grabber);
    Expect(KivoProcessWindowsMsg(grabber, &key), 0, "no window after KivoDestroyUI");
    Expect(KivoProcessWindowsMsg(NULL, &key), 0, "no grabber");

    KivoFree(grabber);
    KivoFree(NULL);
    KivoGetGrabInfo(NULL, &grab);
    Expect(KivoGetLineSize(NULL), 0, "line size without a grabber");
    if (failures == 0) printf("ok\n");
    return failures == 0 ? 0 : 1;
}
