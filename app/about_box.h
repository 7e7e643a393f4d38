#pragma once

#include "platform/win32.h"

// The About box's dialog procedure, exported by this name.
extern "C" __declspec(dllexport) INT_PTR CALLBACK
    DlgBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows the About box, modal to owner.
void OpenAboutBox(HINSTANCE instance, HWND owner);
