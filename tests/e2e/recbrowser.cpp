// The recording browser appends its exact command line and 1E 0A to "browser.log" in its current
// folder first thing, in one write (atomic), sharing the log every way and retrying it for 30 s.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string record = std::string(GetCommandLineA()) + "\x1e\n";
    DWORD written = 0;
    for (int tries = 0; tries < 3000; ++tries, Sleep(10)) {
        HANDLE log = CreateFileA("browser.log", FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) // the handle closes as the program ends
            return !WriteFile(log, record.data(), DWORD(record.size()), &written, nullptr);
    }
    return 1;
}
