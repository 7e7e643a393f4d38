// The system's own dial-up settings, brought into line with connectionSettings: under
// HKEY_CURRENT_USER "Software\Microsoft\Windows\Currentversion\internet settings", the switches
// "EnableAutoDial" and "EnableAutoDisconnect" and the minutes "DisconnectIdleTime", each written
// as REG_BINARY, a 4-byte little-endian integer. Each operation opens the key afresh and closes
// it before it returns; a key that can't be opened is shown with the system's text for the
// reason, under the operation's caption, and the operation ends.
#pragma once

// The switches as the synchronisation last read them from the registry or wrote them.
struct DialRegistryState {
    int enableAutoDial;
    int enableAutoDisconnect;
};

// Starts at 0 and 0. Only the two Sync operations (and tests) touch it; a value that can't be
// read leaves its field as it was.
extern DialRegistryState dialRegistryState;

// Writes "EnableAutoDial" only when the system's switch and autoDial differ in on and off.
void SyncAutoDial();

// Switches "EnableAutoDisconnect" on (then writes the idle minutes) or off when it differs from
// autoDisconnect, and writes the idle minutes whenever idleTimeChanged is set, clearing it once
// they are written.
void SyncAutoDisconnect();

// Shows "ERROR: no dial line entry" with the profile name as its text when HKEY_CURRENT_USER
// "RemoteAccess" "InternetProfile" names no dial-up connection (absent, empty or one character).
void CheckDialProfile();
