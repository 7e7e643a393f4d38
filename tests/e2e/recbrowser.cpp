// The recording browser: first thing, it appends its exact command line and the bytes 1E 0A to
// "browser.log" in its current directory in one write (an append by one write is atomic), the
// log shared in every way and its opening retried for 30 s, so that no launch goes unrecorded.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    std::string record = std::string(GetCommandLineA()) + "\x1e\n";
    DWORD written = 0;
    for (int tries = 0; tries < 3000; ++tries, Sleep(10)) {
        HANDLE log = CreateFileA("browser.log", FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE)
            return !(WriteFile(log, record.data(), DWORD(record.size()), &written, nullptr) &&
                     written == record.size() && CloseHandle(log));
    }
    return 1;
}
