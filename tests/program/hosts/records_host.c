/* A host written in C against kivoly.h alone: it creates a Grabber, changes both records, reads
 * them back, makes the library's own window on the headless display, routes a message through
 * it and frees the Grabber. Prints what differs and exits non-zero. */
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

int main(void) {
    KivoGrabber* grabber = KivoAlloc();
    if (!grabber) {
        printf("KivoAlloc failed\n");
        return 1;
    }
    Expect((long)KivoGetDLLVersion(), 0x01010002L, "version");
    Expect(KivoCapOfPixelType(2), 1, "pixel type 2");
    Expect(KivoCapOfFileType(3), 1, "file type 3");

    KivoGrabInfo grab, grabBack;
    KivoProcessInfo process, processBack;
    KivoGetGrabInfo(grabber, &grab);
    KivoGetProcessInfo(grabber, &process);
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
    KivoGetGrabInfo(grabber, &grabBack);
    KivoGetProcessInfo(grabber, &processBack);
    Expect(memcmp(&grab, &grabBack, sizeof grab), 0, "grab record read back");
    Expect(memcmp(&process, &processBack, sizeof process), 0, "process record read back");
    Expect(KivoGetLineSize(grabber), 4500, "line size at 1500");

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
    KivoDestroyUI(grabber);
    Expect(KivoProcessWindowsMsg(grabber, &key), 0, "no window after KivoDestroyUI");
    KivoFree(grabber);
    if (failures == 0) printf("ok\n");
    return failures == 0 ? 0 : 1;
}
