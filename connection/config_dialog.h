#pragma once

#include "platform/win32.h"

// Runs the Configure dialog of instance modally, owned by owner. OK stores the preferences in
// "dial.inf" and "disc.inf" once the dialog is gone; the next "Go" carries them into the
// registry.
void OpenConfigureDialog(HINSTANCE instance, HWND owner);
