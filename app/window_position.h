// The main window's remembered place: the position file "tarsel.ini" holds the screen
// coordinates of the client area's top-left corner, one number a line.
#pragma once

#include "platform/win32.h"

// Fixed distances from the window's outer corner to its client area's corner. They are part of
// the file's meaning and are not taken from the system's frame metrics.
const int kClientOffsetX = 3;
const int kClientOffsetY = 24;
// The main window's outer size once it has been placed from the file.
const int kMainWindowWidth = 366;
const int kMainWindowHeight = 80;

// Reads the two numbers of the position file; a missing line reads as 0. Returns false after
// the box "Failed to open TARSEL.INI" when the file can't be opened.
bool ReadWindowPosition(int* x, int* y);

// The window's outer left and top edges for the client corner x, y read from the file. An edge
// below 0, or beyond the screen width minus 160 (height minus 60), becomes 1; both bounds are
// inclusive.
void WindowEdgesFor(int x, int y, int screenWidth, int screenHeight, int* left, int* top);

// Writes the client corner that WM_MOVE reports in lParam (left in the low word, top in the
// high word) as two unsigned 16-bit numbers, with no line end after the second. Returns false
// after the box "Failed to open TARSEL.INI" when the file can't be opened.
bool SaveWindowPosition(LPARAM lParam);
