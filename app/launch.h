// The main window's launch state and the steps of a launch that need no window: the start file
// "tarsel.inf", the start-up work of the main window's creation, and starting the browser.
#pragma once

#include "locations/location_list.h"
#include "platform/win32.h"

// A start value of this or more keeps the main window hidden and ends the program after the
// start-up launch.
const int kHiddenStartValue = 100;
// The pause after a launch while StartIndex is not 0.
const DWORD kLaunchPauseMilliseconds = 1500;

// The number last read from the start file; once a start-up launch is prepared, the number of the
// entry it selected, kept until the next read.
extern int StartIndex;
// Set when a start-up launch is prepared from a hidden start value; never cleared. While it is
// set, every launch ends the program.
extern bool exitAfterLaunch;
// The entries that the picker shows, item i being entry i.
extern LocationTable mainTable;
// The main window's drop-down list of locations; none until the first fill.
extern HWND picker;

// Reads the first line of "tarsel.inf" (at most 4 characters) into StartIndex. When the file
// can't be opened, shows "Failed to open tarsel.inf" and leaves StartIndex as it was.
void ReadStartIndex();

// Turns the start value in StartIndex into the entry of a start-up launch among count entries:
// returns true with StartIndex set to that entry (and exitAfterLaunch set for a hidden value).
// Returns false with StartIndex 0 when the value is 0 or names no entry.
bool PrepareStartLaunch(int count);

// The main window's creation, once the position file was read: reads the connection settings
// and, on a system whose major version is above 3, detects the browser and carries the settings
// into the registry. On an older system it shows the version warning, owned by window.
void StartConnectionWork(HWND window, DWORD majorVersion);

// The start of every launch: carries the connection settings into the registry and puts the
// browser's path (if a browser was detected) at the start of LaunchCommand.
void PrepareLaunch();

// Appends entry selected's address to LaunchCommand and starts the browser on it; a browser path
// that can't be started shows "ERROR: Failed to start the browser" with the system's reason.
// Returns false, starting nothing, when selected names no entry of table.
bool StartBrowserOn(const LocationTable* table, int selected);

// The pause after a launch, while StartIndex is not 0.
void PauseAfterLaunch();
