// Holds Wine's desktop open while the end-to-end tests run (wine-env.sh starts and ends it).
// Without a program that stays, Wine closes its desktop a second after the last window of a
// test, and the next test waits for a new one. Creates the file named on its command line once
// the desktop is up.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR readyFile, int) {
    // Creating a window makes Wine start the desktop and wait for it.
    HWND window = CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, instance, nullptr);
    if (!window)
        return 1;
    if (readyFile && *readyFile) {
        HANDLE ready = CreateFileA(readyFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(ready, "up\n", 3, &written, nullptr);
        CloseHandle(ready);
    }
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
