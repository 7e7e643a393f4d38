// The main window: WinMain, its window procedure, the picker and "Go".
#pragma once

#include "platform/win32.h"

// WM_INITDIALOG: applies the start file, shows or hides the window, loads the list into the
// picker and makes the start-up launch. Sent once by WinMain, and again for every reload.
LRESULT FillPicker(HWND window);

// WM_COMMAND for "Go": carries the connection settings into the registry and starts the browser
// on the selected entry.
LRESULT LaunchSelectedLocation(HWND window);

// After an Edit Locations OK: releases the main window's table and empties the picker, so that
// "Go" finds nothing to launch until the list is loaded again.
void DropMainList();
