/*
 * Kivoly: driver and picture library of the parallel-port NTSC still-video digitizer.
 *
 * A host creates one Grabber with KivoAlloc, passes it to the other calls and frees it with
 * KivoFree. The records below are exchanged whole; every field is a signed 32-bit integer and
 * booleans are 0 or non-zero. Bitmaps cross this interface as movable global-memory handles that
 * hold a packed device-independent bitmap (information header, colour table, bottom-up rows
 * padded to four bytes); the host frees them with KivoFreeDib.
 *
 * Handles. The library remembers the Grabbers and pictures it hands out. Every call refuses (does
 * nothing, or answers 0 or null) a Grabber or picture it did not hand out or that was freed, so
 * freeing twice is harmless. A Grabber freed while one of its calls is still running (from a
 * callback, a message or a dialog answered inside it) is destroyed when that call returns.
 *
 * Pictures. KivoScanAndMakeYUV hands a picture to the host, which owns it and frees it with
 * KivoFreeYUV. A Grabber also has a current picture, the one its conversions work on. Three
 * calls make a picture current: KivoUseYUV, KivoProcYUVToRGB with a picture, and
 * KivoProcYUVToRGBLineSeg with a picture it can convert. The host still owns a current picture,
 * with one exception: KivoUseYUV destroys the current picture it replaces (unless it is the same
 * one). After that, or after KivoFreeYUV, the picture is gone for every Grabber: none keeps it as
 * its current picture, and the calls refuse it. Freeing a Grabber does not free its current
 * picture.
 *
 * This header compiles as C and as C++.
 */
#ifndef KIVOLY_KIVOLY_H
#define KIVOLY_KIVOLY_H

#include <stdint.h>

#if defined(__GNUC__)
#define KIVOLY_API __attribute__((visibility("default")))
#else
#define KIVOLY_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Opaque objects and handles. */
typedef struct KivoGrabber KivoGrabber;      /* made by KivoAlloc */
typedef struct KivoYuvImage KivoYuvImage;    /* a decoded picture; the caller owns it */
typedef struct KivoGlobalBlock* KivoHGlobal; /* movable global memory (bitmaps) */
typedef struct KivoPaletteObject* KivoHPalette;
typedef struct KivoWindow* KivoHWnd;

/* Acquisition record. */
typedef struct KivoGrabInfo {
    int32_t Quality;        /* 0 moving, 1 still, 2 70 ns still, 3 35 ns still */
    int32_t UseColor;       /* 1 colour, 0 grey scale */
    int32_t CameraInput;    /* 1 live camera, 0 tape player */
    int32_t ParallelPort;   /* 1 to 3: LPT1 to LPT3 */
    int32_t IODelay;        /* port access repeat count; -1 settles it at the first capture */
    int32_t PowerSaver;     /* power the device down between operations */
    int32_t TerminateVideo; /* 75-ohm termination of the video input */
    int32_t Negative;       /* treat the picture as a negative */
} KivoGrabInfo;

/* Processing record: adjustments are offsets with 0 as neutral. */
typedef struct KivoProcessInfo {
    int32_t Hue;
    int32_t Color;
    int32_t Brightness;
    int32_t Contrast;
    int32_t Sharpness;
    int32_t Gamma;
    int32_t Width;      /* 320, 640 or 1500 */
    int32_t Height;     /* 240, 480 or 1125, paired with the width */
    int32_t ColorCount; /* 16777216: 24-bit true colour */
    int32_t Red;
    int32_t Green;
    int32_t Blue;
    int32_t ShowWhileProcessing;
} KivoProcessInfo;

/* Grabber status. */
enum {
    KivoStatusIdle = 0,      /* no port claimed, no device, no capture store */
    KivoStatusConnected = 1, /* the port is claimed and the device answers */
    KivoStatusArmed = 2,     /* the capture store exists as well */
    KivoStatusVideoOn = 3    /* the device's video is on: a capture can start */
};

/* Slots of the host's callback table (KivoSetCallback). */
enum {
    KivoCallbackCapture = 0,
    KivoCallbackClose = 1,
    KivoCallbackSave = 3,
    KivoCallbackProcess = 13,
    KivoCallbackSettingsSaved = 14,
    KivoCallbackActivate = 16,
    KivoCallbackPreviewFrame = 17,
    KivoCallbackSlots = 18
};
typedef int32_t (*KivoCallback)(void);

/* The information header of a packed device-independent bitmap (40 bytes, little-endian). */
typedef struct KivoBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} KivoBitmapInfoHeader;

/* A message of the window system, as a host's message loop sees it. */
typedef struct KivoMessage {
    KivoHWnd hwnd;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    uint32_t time;
    int32_t x, y; /* cursor position in screen co-ordinates */
} KivoMessage;

/* ---- Life and state ---------------------------------------------------------------------- */
KIVOLY_API KivoGrabber* KivoAlloc(void);
KIVOLY_API void KivoFree(KivoGrabber* grabber);
KIVOLY_API uint32_t KivoGetDLLVersion(void);
KIVOLY_API void KivoGetGrabInfo(KivoGrabber* grabber, KivoGrabInfo* info);
KIVOLY_API void KivoSetGrabInfo(KivoGrabber* grabber, const KivoGrabInfo* info);
KIVOLY_API void KivoGetProcessInfo(KivoGrabber* grabber, KivoProcessInfo* info);
KIVOLY_API void KivoSetProcessInfo(KivoGrabber* grabber, const KivoProcessInfo* info);
KIVOLY_API int32_t KivoGetShowProgress(KivoGrabber* grabber);
KIVOLY_API void KivoSetShowProgress(KivoGrabber* grabber, int32_t show);
KIVOLY_API int32_t KivoGetWindowOpt(KivoGrabber* grabber);
KIVOLY_API int32_t KivoGetKivolyIsExe(KivoGrabber* grabber);
KIVOLY_API void KivoSetKivolyIsExe(KivoGrabber* grabber, int32_t isExe);
KIVOLY_API void KivoSetCallback(KivoGrabber* grabber, int32_t slot, KivoCallback callback);
/* The status (KivoStatusIdle .. KivoStatusVideoOn). Setting it connects, arms or switches the
 * video on step by step, or disconnects; 0 when the status could not be reached. */
KIVOLY_API int32_t KivoGetStatus(KivoGrabber* grabber);
KIVOLY_API int32_t KivoSetStatus(KivoGrabber* grabber, int16_t status);

/* ---- Capture and conversion -------------------------------------------------------------- */
/* Captures and decodes one picture; the caller owns it (KivoFreeYUV). Null on failure, and
 * while a preview runs (the preview is then asked to stop). */
KIVOLY_API KivoYuvImage* KivoScanAndMakeYUV(KivoGrabber* grabber);
/* Destroys a picture the library handed out, through any Grabber but a null one; every Grabber
 * forgets it as its current picture. */
KIVOLY_API void KivoFreeYUV(KivoGrabber* grabber, KivoYuvImage* image);
/* Captures, decodes and converts one picture into `dib` (as KivoProcYUVToRGB does); 0 when the
   capture failed, in which case `dib` is left to the host. */
KIVOLY_API KivoHGlobal KivoScanAndProcess(KivoGrabber* grabber, KivoHGlobal dib);
KIVOLY_API int32_t KivoGetLineSize(KivoGrabber* grabber);
/* Makes the picture the current one (destroying a different current one, see Pictures above)
   and prepares its conversion with the ProcessInfo in use; non-zero when the conversion can
   run. */
KIVOLY_API int32_t KivoUseYUV(KivoGrabber* grabber, KivoYuvImage* yuv);
/* Converts the picture (null: the current one) into a 24-bit Width x Height bitmap: into `dib`
   when it is one of that size, else into a new bitmap (`dib` is then freed). Returns the
   bitmap, or 0 when there is no picture or no bitmap can be had. */
KIVOLY_API KivoHGlobal KivoProcYUVToRGB(KivoGrabber* grabber, KivoYuvImage* yuv, KivoHGlobal dib);
/* Converts output row `row` (0 = top) of the picture into `line`: Width x 3 bytes, blue, green,
   red. The two integers are not used. Nothing happens for a null picture. */
KIVOLY_API void KivoProcYUVToRGBLineSeg(KivoGrabber* grabber, uint8_t* line, int16_t row,
                                        int32_t unused1, int32_t unused2, KivoYuvImage* yuv);

/* ---- Bitmaps and palette ----------------------------------------------------------------- */
/* Writes the bitmap as a .bmp file: 1 on success, 0 for a null bitmap or a file that cannot be
   written whole (an existing file of that name is then left as it was). The Grabber is not used. */
KIVOLY_API int32_t KivoWriteDibFile(KivoGrabber* grabber, KivoHGlobal dib, const char* fileName);
/* Shows the bitmap in the library's full-screen picture window until a key or button closes it. */
KIVOLY_API int32_t KivoShowDib(KivoGrabber* grabber, KivoHGlobal dib);
/* Frees a bitmap: null on success, the handle on failure. */
KIVOLY_API KivoHGlobal KivoFreeDib(KivoHGlobal dib);
/* The library's 256-colour palette; the library keeps it. */
KIVOLY_API KivoHPalette KivoGetDefaultPalette(void);

/* ---- Capabilities ------------------------------------------------------------------------ */
KIVOLY_API int32_t KivoCapOfPixelType(int32_t pixelType);
KIVOLY_API int32_t KivoCapOfCompressionType(int32_t compressionType);
KIVOLY_API int32_t KivoCapOfFileType(int32_t fileType);

/* ---- User interface ---------------------------------------------------------------------- */
/* Makes the library's own capture window (once per Grabber; later calls return the same
 * window) with `parent` as its owner and `showCommand` as the first show command (5: show).
 * It appears on the desktop when one can be reached (KIVOLY_DISPLAY=headless or =desktop
 * decides instead), else on the headless display. 0 when it cannot be made, for instance when
 * the skin archive "Kivoly.d8a" is missing. */
KIVOLY_API KivoHWnd KivoMakeUI(KivoGrabber* grabber, KivoHWnd parent, int32_t showCommand);
/* Destroys the window of KivoMakeUI. */
KIVOLY_API void KivoDestroyUI(KivoGrabber* grabber);
/* A host's message loop offers every message here first: a message of the library's window is
 * handled (its keys through the window's accelerators) and 1 returned; 0 leaves the message
 * to the host to translate and dispatch. */
KIVOLY_API int32_t KivoProcessWindowsMsg(KivoGrabber* grabber, const KivoMessage* message);
/* Tells the window that a picture titled `title` is shown (null: none any more): the caption
 * and the Save button follow, and the adjustment panel is enabled when `enablePanel` is
 * non-zero. A non-null `info` is applied as KivoSetProcessInfo does. */
KIVOLY_API void KivoSetPic(KivoGrabber* grabber, const char* title, const KivoProcessInfo* info,
                           int32_t enablePanel);
/* Runs the live preview until it is stopped (KivoStopPreviewing, a quit message, or a 0 from the
 * preview-frame callback); 0 when it could not start, or a preview or capture is running
 * already. The status is 0 afterwards. */
KIVOLY_API int32_t KivoStartPreviewing(KivoGrabber* grabber);
KIVOLY_API void KivoStopPreviewing(KivoGrabber* grabber);
/* The 160 x 120 8-bit preview bitmap's header (colour table and rows follow), null before the
 * first preview or main window. */
KIVOLY_API KivoBitmapInfoHeader* KivoGetPreviewDIB(KivoGrabber* grabber);

#ifdef __cplusplus
}
#endif

#endif /* KIVOLY_KIVOLY_H */
