#include "app/about_box.h"

extern "C" __declspec(dllexport) INT_PTR CALLBACK
    DlgBoxProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_COMMAND) {
        // OK, Enter and Escape all close the box.
        EndDialog(dialog, 1);
        return TRUE;
    }
    return FALSE;
}

void OpenAboutBox(HINSTANCE instance, HWND owner) {
    DialogBoxParamA(instance, "About", owner, DlgBoxProc, 0);
}
