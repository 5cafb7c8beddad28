// The picture window: a full-screen pop-up that shows a bitmap, unscaled and centred when it
// fits, decimated by whole source pixels when it does not (by the same factor in both
// directions, so that its proportions stay, and centred). It shows a picture after a
// conversion (KivoShowDib) and the picture growing row by row during one ("Show while
// processing"). Any key or mouse button closes it.
//
// Pictures larger than the screen are never stretched: a column step table and a row
// selection pick whole source pixels, and painting goes through a one-row display bitmap, so
// that no screen-sized copy of the picture is made. On a palette display the row is dithered
// onto the default palette.
#pragma once

#include "kivoly/kivoly.h"
#include "platform/gdi/bitmap_info_header.h"
#include "platform/gdi/geometry.h"

namespace kivoly {

inline constexpr const char* kPictureWindowClass = "Kivoly Show Process Class";

// Registers the window class; until then the window cannot be opened. True when registered
// (also when it already was).
bool RegisterPictureWindowClass();

// Opens the window on `dib` (kept locked by the caller while the window shows it) unless it is
// open; hides `mainWindow` when there is one. False when the window cannot be created.
bool OpenPictureWindow(KivoHWnd mainWindow, const platform::BitmapInfoHeader* dib);
// Dispatches the thread's messages until the window is closed (or the queue quits, or no input
// can ever come, which also closes it).
void RunPictureWindow();
// Destroys the window when it is open.
void ClosePictureWindow();

// The open window, or null.
KivoHWnd PictureWindow();
// Where the picture lies in the window: its on-screen size and offsets.
platform::Rect PictureArea();

// The column step table for `pictureWidth` source pixels on `screenWidth` columns: after the
// pixel of column i the source moves on by 3 + step[i] bytes.
void BuildColumnSteps(int pictureWidth, int screenWidth, int* steps);

}  // namespace kivoly
