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
 * These calls are part of the static library; the shared library exports only kivoly.h.
 * Everything runs on the host's user-interface thread. This header compiles as C and as C++.
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
void KivolyHostSetSettingsFolder(const char* folder);

/* ---- Keyboard ---------------------------------------------------------------------------- */
/* Holds (down non-zero) or releases a key by its virtual-key code, as the keyboard's current
 * state that the library reads (Ctrl 0x11, Alt 0x12, Shift 0x10, Escape 0x1B, ...). */
void KivolyHostSetKeyDown(int32_t virtualKey, int32_t down);
void KivolyHostReleaseAllKeys(void);

/* ---- Message boxes ----------------------------------------------------------------------- */
/* Answers a message box: returns 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes or 7 No.
 * `style` holds the system's button, icon and default-button bits. */
typedef int32_t (*KivolyMessageBoxResponder)(KivoHWnd owner, const char* text,
                                             const char* caption, uint32_t style, void* context);
/* Installs a responder; null returns to pressing the default button. */
void KivolyHostSetMessageBoxResponder(KivolyMessageBoxResponder responder, void* context);

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
void KivolyHostSetSoundBackend(const KivolySoundBackend* backend);

/* ---- Clock ------------------------------------------------------------------------------- */
/* A millisecond clock for every wait of the library; null returns to the real clock, which
 * counts from process start. */
typedef int32_t (*KivolyClockFunction)(void* context);
void KivolyHostSetClock(KivolyClockFunction nowMs, void* context);
/* The library's clock, as every device wait reads it. */
int32_t KivolyHostNowMs(void);

/* ---- Device back end --------------------------------------------------------------------- */
/* Chooses what stands behind the parallel-port registers:
 *   "none"                  nothing: no device ever answers (the default);
 *   "ppdev:/dev/parport0"   the Linux parallel-port driver; LPT1 is the device named, LPT2 and
 *                           LPT3 the two numbered after it; a port is claimed exclusively;
 *   "direct" or "direct:0x378"  port instructions after ioperm (root only), on the three
 *                           standard ports or only on the one given.
 * Returns 0 (and changes nothing) for a text it does not know. The simulated digitizer is not
 * chosen here: a host that links it installs it itself. */
int32_t KivolyHostSetDevice(const char* spec);

#ifdef __cplusplus
}
#endif

#endif /* KIVOLY_HOST_H */
