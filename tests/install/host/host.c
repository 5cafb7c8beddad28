/* A host of the installed library: builds with its headers and links it, found through
 * pkg-config or find_package(Kivoly). Prints the version and the default picture size. */
#include <stdio.h>

#include "kivoly/host.h"
#include "kivoly/kivoly.h"

int main(void) {
    KivoGrabber* grabber = KivoAlloc();
    KivoProcessInfo info;
    if (!grabber) return 1;
    KivoGetProcessInfo(grabber, &info);
    printf("kivoly %08x %dx%d\n", (unsigned)KivoGetDLLVersion(), (int)info.Width,
           (int)info.Height);
    KivoFree(grabber);
    return 0;
}
