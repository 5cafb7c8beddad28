// Version and capability exports: pure functions of their argument.
#include "kivoly/kivoly.h"
#include "resources/version.h"

extern "C" {

uint32_t KivoGetDLLVersion(void) {
    return kivoly::kDllVersion;
}

// Pixel type 2 is RGB, the only one the library delivers.
int32_t KivoCapOfPixelType(int32_t pixelType) {
    return pixelType == 2 ? 1 : 0;
}

// Compression type 0: none.
int32_t KivoCapOfCompressionType(int32_t compressionType) {
    return compressionType == 0 ? 1 : 0;
}

// File type 3: the bitmap file.
int32_t KivoCapOfFileType(int32_t fileType) {
    return fileType == 3 ? 1 : 0;
}
}
