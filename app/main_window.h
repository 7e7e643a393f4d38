// The main window: WinMain, its window procedure, the picker and "Go".
#pragma once

#include "platform/win32.h"

// The program's instance, which creates the main window and the dialogs from their templates.
extern HINSTANCE programInstance;

// WM_INITDIALOG: applies the start file, shows or hides the window, loads the list into the
// picker and makes the start-up launch. Sent once by WinMain, and again for every reload.
LRESULT FillPicker(HWND window);

// WM_COMMAND for "Go": carries the connection settings into the registry and starts the browser
// on the selected entry.
LRESULT LaunchSelectedLocation(HWND window);
