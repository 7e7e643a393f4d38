#include "app/launch.h"

#include "app/browser.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"

int StartIndex = 0;
bool exitAfterLaunch = false;
LocationTable mainTable;
HWND picker;

namespace {

const char kStartFile[] = "tarsel.inf";
const int kStartLineLength = 4;
const DWORD kWindows95Major = 4;
const UINT kWinExecFirstSuccess = 32;

} // namespace

void ReadStartIndex() {
    TextFile file;
    if (!OpenTextForReading(&file, kStartFile)) {
        ShowFailureBox("Failed to open tarsel.inf");
        return;
    }
    // An empty file has no first line: it reads as no digits, 0.
    char line[kStartLineLength + 1];
    ReadTextLine(&file, line, sizeof line);
    StartIndex = ParseDecimal(line);
    CloseTextFile(&file);
}

bool PrepareStartLaunch(int count) {
    if (StartIndex == 0)
        return false;
    bool hidden = StartIndex >= kHiddenStartValue;
    int entry = hidden ? StartIndex - (kHiddenStartValue + 1) : StartIndex - 1;
    if (entry < 0 || entry >= count) {
        StartIndex = 0;
        return false;
    }
    StartIndex = entry;
    if (hidden)
        exitAfterLaunch = true;
    return true;
}

void StartConnectionWork(HWND window, DWORD majorVersion) {
    ReadConnectionSettings();
    if (majorVersion < kWindows95Major) {
        MessageBoxA(window, "Available for Windows 95 only", "Tarsel",
                    MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
        return;
    }
    DetectDefaultBrowser();
    CheckDialProfile();
    SyncAutoDial();
    SyncAutoDisconnect();
}

void PrepareLaunch() {
    ReadConnectionSettings();
    SyncAutoDial();
    SyncAutoDisconnect();
    LaunchCommand[0] = '\0';
    if (BrowserKind != kNoBrowser)
        LookUpBrowserPath(BrowserKind);
}

bool StartBrowserOn(const LocationTable* table, int selected) {
    if (!table->present || selected < 0 || selected >= table->count)
        return false;
    // Without a path the user has been told already: no browser was detected, or its path was
    // not found.
    bool pathFound = LaunchCommand[0] != '\0';
    if (!AppendAddress(LaunchCommand, sizeof LaunchCommand, table->entries[selected].address))
        return false;
    UINT result = WinExec(LaunchCommand, SW_SHOW);
    // Below 32 WinExec gives a system error code, and 0 for memory that ran out.
    if (result < kWinExecFirstSuccess && pathFound) {
        SetLastError(result ? result : ERROR_NOT_ENOUGH_MEMORY);
        ShowLastErrorBox("ERROR: Failed to start the browser");
    }
    return true;
}

void PauseAfterLaunch() {
    if (StartIndex != 0)
        Sleep(kLaunchPauseMilliseconds);
}
