// The recording browser. It appends its exact command line and a record separator (the byte 1E
// and a line feed) to "browser.log" in its current directory and ends, so a scenario can check
// each launch's command line byte for byte and count the launches.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* commandLine = GetCommandLineA();
    // Two launches close together take turns: the log is opened without sharing.
    HANDLE log = INVALID_HANDLE_VALUE;
    for (int tries = 0; tries < 500 && log == INVALID_HANDLE_VALUE; ++tries) {
        log = CreateFileA("browser.log", FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (log == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(log, commandLine, static_cast<DWORD>(std::strlen(commandLine)), &written,
                        nullptr);
    ok = ok && WriteFile(log, "\x1e\n", 2, &written, nullptr);
    CloseHandle(log);
    return ok ? 0 : 1;
}
