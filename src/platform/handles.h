// The handles the platform hands out: opaque pointers to its global memory blocks, palettes and
// windows. The C interface declares the same types, so that a handle crosses the exports as it
// is; a translation unit that sees both declarations checks that they agree.
#pragma once

typedef struct KivoGlobalBlock* KivoHGlobal;
typedef struct KivoPaletteObject* KivoHPalette;
typedef struct KivoWindow* KivoHWnd;
