// The user's dial-up preferences and their two files in the current directory:
//
// "dial.inf": the auto-dial switch ("1" or "0") on its first line, then two comment lines.
// "disc.inf": the auto-disconnect switch on its first line, the idle minutes as the Configure
// dialog keeps them on its second, then three comment lines.
//
// The reader takes each value as one chunk of at most two characters, as the program always
// has: a two-character line leaves its line end unread, and a longer line leaves its rest for
// the next value of that file.
#pragma once

// The most characters idleMinutesText holds (its buffer has room for a NUL as well).
const int kIdleMinutesTextLength = 2;

struct ConnectionSettings {
    int autoDial;       // 0 off, anything else on
    int autoDisconnect; // 0 off, anything else on
    int idleMinutes;    // minutes of idleness before the system disconnects; never range-tested
    // The idle minutes in the Configure dialog's text form; this text, not idleMinutes, is what
    // the second line of "disc.inf" stores. The reader never sets it.
    char idleMinutesText[kIdleMinutesTextLength + 1];
    // 1 while the Configure dialog may have changed the idle minutes; SyncAutoDisconnect clears
    // it once it has written them. Never stored in a file.
    int idleTimeChanged;
};

// The one set of preferences of the process: auto-dial on, auto-disconnect on, 3 minutes, an
// empty text and no change flagged until a read or the Configure dialog changes them.
extern ConnectionSettings connectionSettings;

// Sets autoDial, autoDisconnect and idleMinutes from the two files. When either file can't be
// opened, shows "Failed to open dial.inf - read" or "Failed to open disc.inf - read", changes
// nothing and returns false. A file that ends before a value line leaves that value as it was.
bool ReadConnectionSettings();

// Rewrites both files from autoDial, autoDisconnect (each stored as "1" when not 0) and
// idleMinutesText. Shows a box for each file that can't be opened or written whole and returns
// false then. When "disc.inf" can't be opened, "dial.inf" is still written whole.
bool WriteConnectionSettings();
