#pragma once

#include "platform/win32.h"

// Runs the Edit Locations dialog of instance modally, owned by owner. OK rewrites "urls.txt" with
// the prepared add, delete and modify once the dialog is gone, then has dropOwnerList release
// the owner's own table and empty its picker, and sends owner WM_INITDIALOG to load the list
// again.
void OpenLocationsDialog(HINSTANCE instance, HWND owner, void (*dropOwnerList)());
