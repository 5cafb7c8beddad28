/*
 * Kivoly: what a host on a system without Windows provides to the library's platform layer.
 *
 * The library was made for a system that answers its message boxes, keeps the keyboard state,
 * plays sounds and keeps a millisecond clock. Here a host (the kivoly program, a test, a desktop
 * front end) answers for those services through these calls. Every service has a default that
 * needs no host: message boxes press their default button, sounds are only recorded, the clock
 * is the real one, no key is held, and the settings folder follows the environment ($KIVOLY_HOME,
 * else $XDG_CONFIG_HOME/kivoly, else ~/.config/kivoly).
 *
 * libkivoly.so exports these calls beside those of kivoly.h. Everything runs on the host's
 * user-interface thread. This header compiles as C and as C++.
 */
#ifndef KIVOLY_HOST_H
#define KIVOLY_HOST_H

#include <stdint.h>

#include "kivoly/kivoly.h"

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Settings folder --------------------------------------------------------------------- */
/* Uses `folder` for "Kivoly.ini" and the other settings files; null or "" returns to the
 * environment. */
KIVOLY_API void KivolyHostSetSettingsFolder(const char* folder);

/* ---- Keyboard ---------------------------------------------------------------------------- */
/* Holds (down non-zero) or releases a key by its virtual-key code, as the keyboard's current
 * state that the library reads (Ctrl 0x11, Alt 0x12, Shift 0x10, Escape 0x1B, ...). */
KIVOLY_API void KivolyHostSetKeyDown(int32_t virtualKey, int32_t down);
KIVOLY_API void KivolyHostReleaseAllKeys(void);

/* ---- Message boxes and dialogs ---------------------------------------------------------- */
/* Answers a message box: returns 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes or 7 No.
 * `style` holds the system's button, icon and default-button bits.
 *
 * Without a desktop display the library's dialogs reach the responder too: `caption` is the
 * dialog's caption, `text` its texts one a line, `style` 0, and the answer is pressed as the
 * identifier of one of its controls. The port-selection dialog (caption "Kivoly hardware not
 * found!", shown when no device answers on the configured port) takes 1000, 1001 or 1002 for
 * "Port &1" to "Port &3", after which the device is looked for on that port, or 2 for Cancel,
 * which ends the connection attempt. Any other answer cancels, so the default responder (which
 * presses OK, 1) never loops on a missing device. */
typedef int32_t (*KivolyMessageBoxResponder)(KivoHWnd owner, const char* text, const char* caption,
                                             uint32_t style, void* context);
/* Installs a responder; null returns to pressing the default button. */
KIVOLY_API void KivolyHostSetMessageBoxResponder(KivolyMessageBoxResponder responder,
                                                 void* context);

/* Answers the save-file dialog of the raw-dump capture (a capture started while Ctrl and Shift
 * are held, see KivolyHostSetKeyDown, saves its raw samples to a ".nsr" file named here).
 * `name` holds `capacity` bytes and starts with the proposed name (often empty); the responder
 * writes the path there and returns non-zero, or returns 0 to cancel (the capture then goes on
 * without a file). `defaultExtension` ("nsr") is added to a name without one. Without a
 * responder the dialog is cancelled. */
typedef int32_t (*KivolySaveFileResponder)(const char* filterPattern, const char* defaultExtension,
                                           char* name, int32_t capacity, void* context);
KIVOLY_API void KivolyHostSetSaveFileResponder(KivolySaveFileResponder responder, void* context);

/* ---- Sound ------------------------------------------------------------------------------- */
/* A back end that plays sounds by file name or system-sound name. `play` returns non-zero when
 * the sound plays; flags: 0x1 asynchronous, 0x2 no default sound, 0x8 loop, 0x10 do not stop a
 * sound that is playing. Beep types are those of the system's message beep (0 the standard). */
typedef struct KivolySoundBackend {
    int32_t (*play)(const char* name, uint32_t flags, void* context);
    void (*stop)(void* context);
    void (*beep)(uint32_t type, void* context);
    void* context;
} KivolySoundBackend;
/* Installs a copy of `backend`; null, or a back end that lacks a function, returns to
 * recording. */
KIVOLY_API void KivolyHostSetSoundBackend(const KivolySoundBackend* backend);

/* ---- Clock ------------------------------------------------------------------------------- */
/* A millisecond clock for every wait of the library; null returns to the real clock, which
 * counts from process start. */
typedef int32_t (*KivolyClockFunction)(void* context);
KIVOLY_API void KivolyHostSetClock(KivolyClockFunction nowMs, void* context);
/* The library's clock, as every device wait reads it. */
KIVOLY_API int32_t KivolyHostNowMs(void);

/* ==== Windows, the message loop and progress =========================================
 * The library's windows live on a screen of the platform layer. Headless (the default), the
 * screen is a picture in memory: the host gives input as a user would (pointer moves, button
 * presses and releases at screen positions, keys) and can save the screen as a PNG picture.
 * The desktop display shows every top-level window as a window of the desktop and feeds them
 * the person's input. The library loads it (the plugin libkivoly-desktop.so, installed beside
 * it, which brings SDL2) only when it is opened, so a host on a machine without a desktop never
 * needs it. KivoMakeUI opens it by itself when DISPLAY or WAYLAND_DISPLAY names a server that
 * answers and the host chose no display: KIVOLY_DISPLAY=headless or =desktop decides instead. */

/* Shows the windows on the headless screen of `width` x `height` pixels (0: keep the size).
 * Returns 0 when the size is refused. */
KIVOLY_API int32_t KivolyHostUseHeadlessDisplay(int32_t width, int32_t height);
/* Opens the desktop display; 0 when no desktop can be reached (there is never an off-screen
 * stand-in that would wait for input nobody can give). `title` names windows without a title.
 * While it is open a person answers message boxes, dialogs and the save-file dialog (it installs
 * its own responders, and closing it returns to the default ones). */
KIVOLY_API int32_t KivolyHostUseDesktopDisplay(const char* title);
/* Closes the desktop display and returns to the headless one. */
KIVOLY_API void KivolyHostCloseDesktopDisplay(void);

/* The thread's message loop. A host that shows the library's windows (KivoMakeUI, KivoShowDib)
 * must dispatch every message it takes, paint messages included: windows are drawn only when
 * their paint message is dispatched, and a paint message that stays in the queue keeps coming
 * back. Messages for the library's windows go through KivoProcessWindowsMsg first.
 * GetMessage waits: it returns 1 for a message, 0 for the quit
 * message and -1 when no message can ever come (headless, nothing queued and no timer). */
KIVOLY_API int32_t KivolyHostGetMessage(KivoMessage* message);
/* Non-zero when a message was waiting; `remove` non-zero takes it out of the queue. */
KIVOLY_API int32_t KivolyHostPeekMessage(KivoMessage* message, int32_t remove);
KIVOLY_API int32_t KivolyHostTranslateMessage(const KivoMessage* message);
KIVOLY_API intptr_t KivolyHostDispatchMessage(const KivoMessage* message);
KIVOLY_API void KivolyHostPostQuitMessage(int32_t exitCode);

/* Input given as a user gives it, in screen co-ordinates. Buttons: 1 left, 2 right. Keys are
 * virtual-key codes; they also change the keyboard state of KivolyHostSetKeyDown. */
KIVOLY_API void KivolyHostInjectMouseButton(int32_t button, int32_t down, int32_t x, int32_t y);
KIVOLY_API void KivolyHostInjectKey(int32_t virtualKey, int32_t down);
/* Saves the screen as a PNG picture; 0 when the file cannot be written. */
KIVOLY_API int32_t KivolyHostSaveScreen(const char* path);

/* Progress of long operations, as the progress window shows it: `update` is called whenever
 * the window would be repainted (at most every 72 ms), whether or not a window is shown, with
 * the phase's text, the highest value reached and the value at which the phase is complete;
 * `finish` when a phase completes or is aborted, or the busy section ends. */
typedef struct KivolyProgressObserver {
    void (*update)(const char* text, uint32_t reached, uint32_t limit, void* context);
    void (*finish)(void* context);
    void* context;
} KivolyProgressObserver;
/* Installs a copy of `observer`; null, or an observer without `update`, removes it. */
KIVOLY_API void KivolyHostSetProgressObserver(const KivolyProgressObserver* observer);

/* ---- Device back end --------------------------------------------------------------------- */
/* Chooses what stands behind the parallel-port registers:
 *   "ppdev:/dev/parport0"   the Linux parallel-port driver; LPT1 is the device named, LPT2 and
 *                           LPT3 the two numbered after it; a port is claimed exclusively;
 *   "direct" or "direct:0x378"  port instructions after ioperm (root only), on the three
 *                           standard ports or only on the one given;
 *   "sim" or "sim:PICTURE"  the simulated digitizer, seeing colour bars or the picture (PNG,
 *                           BMP or PPM); its time is simulated, so device waits take no time;
 *   "none"                  nothing: no device ever answers.
 * Returns 0 (and changes nothing) for a text it does not know or a picture it cannot read.
 * A host that chooses nothing gets, at its first KivoAlloc, what the environment variable
 * KIVOLY_DEVICE names in the same words, else "ppdev:/dev/parport0"; a KIVOLY_DEVICE that
 * cannot be used leaves "none", so that a mistyped simulation never drives a real port. */
KIVOLY_API int32_t KivolyHostSetDevice(const char* choice);
/* Chooses the simulated digitizer with a picture (null or "": colour bars) and faults: a
 * comma-separated list of "no-device", "no-video", "unstable-sync", "bad-echo", "slow-port",
 * "noisy-link", "low-battery", "alarm" (null or "": none). 0, and nothing changed, for an
 * unknown fault or a picture that cannot be read. */
KIVOLY_API int32_t KivolyHostUseSimulatedDevice(const char* picture, const char* faults);

/* ---- Bitmaps ----------------------------------------------------------------------------- */
/* A bitmap handle (KivoScanAndProcess, KivoProcYUVToRGB) holds a packed bitmap: the
 * information header, biClrUsed colour-table entries of 4 bytes (none for 24 bits), then
 * biHeight rows from the bottom up, each biWidth * biBitCount / 8 bytes padded to a multiple of
 * four (24-bit pixels are blue, green, red). Lock returns its address (null for a handle that
 * is not a live bitmap) and must be paired with Unlock, which returns non-zero while other
 * locks remain; Size gives the block's bytes (0 for an unknown handle). */
KIVOLY_API KivoBitmapInfoHeader* KivolyHostLockBitmap(KivoHGlobal bitmap);
KIVOLY_API int32_t KivolyHostUnlockBitmap(KivoHGlobal bitmap);
KIVOLY_API int64_t KivolyHostBitmapSize(KivoHGlobal bitmap);

#ifdef __cplusplus
}
#endif

#endif /* KIVOLY_HOST_H */
