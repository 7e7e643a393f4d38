// The default browser: which one the system names, where it is installed, and the command line
// that starts it on an address.
#pragma once

#include "locations/location_list.h"
#include "platform/win32.h"

#include <cstddef>

enum BrowserKindValue {
    kNoBrowser = 0,
    kNetscape = 1,
    kInternetExplorer = 2,
};

// The longest browser path taken from the registry, several times what the system can start
// (MAX_PATH). A path is used whole or not at all, never cut short.
const size_t kMaxBrowserPath = 1023;
// Quotes around the path, the path, one blank, the longest address an entry holds and the NUL.
const size_t kLaunchCommandSize = 2 + kMaxBrowserPath + 1 + kMaxAddress + 1;

// The default browser, decided once per run by DetectDefaultBrowser.
extern int BrowserKind;
// The command line of the current launch: the browser's path, one blank, the address.
extern char LaunchCommand[kLaunchCommandSize];

// Reads HKCR "HTTP\DefaultIcon" and sets BrowserKind from it. Returns 1 when a supported browser
// was found, else 0 after a box.
int DetectDefaultBrowser();

// The kind that the DefaultIcon text names: 1 for NETSCAPE.EXE or netscape.exe, 2 for URL.DLL
// or url.dll, tested in that order and case-sensitively. Anything else shows the text in the
// box "ERROR: Default Browser Not Supported" and gives 0.
int ClassifyBrowser(const char* text);

// Empties LaunchCommand and, for kinds 1 and 2, puts the browser's path from its App Paths key
// into it, in double quotes when it holds a blank. Returns 1 for kinds 1 and 2, also after a
// failure (a box, LaunchCommand empty), and 0 for any other kind.
int LookUpBrowserPath(int kind);

// Appends one blank and the address to the command line held in command (size bytes). Returns
// false, leaving command as it was, when the whole line does not fit.
bool AppendAddress(char* command, size_t size, const char* address);

// Copies path into command (size bytes), in double quotes when it holds a blank or a tab and is
// not already quoted. Returns false, with command emptied, when it does not fit.
bool SetBrowserPath(char* command, size_t size, const char* path);
