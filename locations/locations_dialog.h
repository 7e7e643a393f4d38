#pragma once

#include "platform/win32.h"

// Runs the Edit Locations dialog modally, owned by the main window. OK rewrites "urls.txt" with
// the prepared add, delete and modify and makes the main window load the list again.
void OpenLocationsDialog(HWND owner);
