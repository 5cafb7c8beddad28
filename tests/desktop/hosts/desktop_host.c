/* A host written in C against the shared library: the desktop display comes with the library,
 * whose windowing libraries are loaded only when the display is opened, by KivoMakeUI itself
 * when the host chose no display. Prints what went wrong and exits non-zero; exits 77 when no
 * desktop can be opened here. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kivoly/host.h"

/* Whether SDL2 is mapped into this process now. */
static int SdlLoaded(void) {
    FILE* maps = fopen("/proc/self/maps", "r");
    char line[4096];
    int found = 0;
    if (!maps) return -1;
    while (!found && fgets(line, sizeof line, maps)) found = strstr(line, "libSDL2") != NULL;
    fclose(maps);
    return found;
}

int main(void) {
    if (SdlLoaded() != 0) {
        printf("SDL2 is loaded before the desktop display is opened\n");
        return 1;
    }
    KivoGrabber* grabber = KivoAlloc();
    KivoMessage message;
    if (!grabber || !KivoMakeUI(grabber, 0, 5)) {
        printf("KivoMakeUI made no window\n");
        return 1;
    }
    if (SdlLoaded() != 1) {
        /* Under the virtual X server a desktop answers: then the window must be on it. */
        printf(getenv("DISPLAY") ? "KivoMakeUI did not open the desktop display\n"
                                 : "no desktop here: skipped\n");
        return getenv("DISPLAY") ? 1 : 77;
    }
    while (KivolyHostPeekMessage(&message, 1)) {
        if (!KivoProcessWindowsMsg(grabber, &message)) {
            KivolyHostTranslateMessage(&message);
            KivolyHostDispatchMessage(&message);
        }
    }
    KivoDestroyUI(grabber);
    KivoFree(grabber);
    KivolyHostCloseDesktopDisplay();
    if (KivolyHostUseDesktopDisplay("again") != 1) {
        printf("the desktop display cannot be opened a second time\n");
        return 1;
    }
    KivolyHostCloseDesktopDisplay();
    printf("ok\n");
    return 0;
}
