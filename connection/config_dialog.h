#pragma once

#include "platform/win32.h"

// Runs the Configure dialog modally, owned by owner. OK stores the preferences in "dial.inf"
// and "disc.inf"; the next "Go" carries them into the registry.
void OpenConfigureDialog(HWND owner);
