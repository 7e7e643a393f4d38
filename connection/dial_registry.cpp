#include "connection/dial_registry.h"

#include "common/message_boxes.h"
#include "connection/connection_settings.h"
#include "platform/win32.h"

#include <cstdint>

DialRegistryState dialRegistryState = {0, 0};

namespace {

const char kInternetSettingsKey[] =
    "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kRemoteAccessKey[] = "RemoteAccess";

const char kAutoDialValue[] = "EnableAutoDial";
const char kAutoDisconnectValue[] = "EnableAutoDisconnect";
const char kIdleTimeValue[] = "DisconnectIdleTime";
const char kProfileValue[] = "InternetProfile";

const int kProfileSize = 200;

// A switch of ordinary length is read in one query; a longer one needs a block of its own,
// since a query that doesn't fit its buffer fills nothing.
const DWORD kSwitchBufferSize = 256;

// The first four bytes, little-endian; a shorter value is zero-extended.
int FirstFourBytes(const BYTE* data, DWORD size) {
    uint32_t value = 0;
    for (DWORD i = 0; i < size && i < 4; ++i)
        value |= static_cast<uint32_t>(data[i]) << (8 * i);
    return static_cast<int>(value);
}

// Reads a switch, whatever its type and length, into *field. Returns false, leaving the field
// as it was, when the value can't be read.
bool ReadSwitch(HKEY key, const char* name, int* field) {
    BYTE data[kSwitchBufferSize];
    DWORD size = sizeof data;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, data, &size);
    if (result == ERROR_SUCCESS) {
        *field = FirstFourBytes(data, size);
        return true;
    }
    if (result != ERROR_MORE_DATA || size == 0)
        return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return false;
    BYTE* longData = static_cast<BYTE*>(GlobalLock(block));
    bool read = false;
    if (longData) {
        result = RegQueryValueExA(key, name, nullptr, nullptr, longData, &size);
        if (result == ERROR_SUCCESS) {
            *field = FirstFourBytes(longData, size);
            read = true;
        }
        GlobalUnlock(block);
    }
    GlobalFree(block);
    return read;
}

// Writes the number as REG_BINARY, four bytes, least significant first.
bool WriteNumber(HKEY key, const char* name, int number) {
    uint32_t bits = static_cast<uint32_t>(number);
    const BYTE data[4] = {static_cast<BYTE>(bits), static_cast<BYTE>(bits >> 8),
                          static_cast<BYTE>(bits >> 16), static_cast<BYTE>(bits >> 24)};
    return RegSetValueExA(key, name, 0, REG_BINARY, data, sizeof data) == ERROR_SUCCESS;
}

// Writes the switch and, only once the registry holds it, takes it into the remembered field;
// a failed write is thus tried again at the next synchronisation.
void WriteSwitch(HKEY key, const char* name, int value, int* field) {
    if (WriteNumber(key, name, value))
        *field = value;
}

bool OpenKey(const char* path, const char* caption, HKEY* key) {
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, key);
    if (result != ERROR_SUCCESS) {
        ShowRegistryErrorBox(result, caption);
        return false;
    }
    return true;
}

} // namespace

void SyncAutoDial() {
    HKEY key;
    if (!OpenKey(kInternetSettingsKey, "ERROR: open auto dial failed(registry)", &key))
        return;
    int* field = &dialRegistryState.enableAutoDial;
    ReadSwitch(key, kAutoDialValue, field);
    if (*field == 0 && connectionSettings.autoDial != 0)
        WriteSwitch(key, kAutoDialValue, 1, field);
    if (*field != 0 && connectionSettings.autoDial == 0)
        WriteSwitch(key, kAutoDialValue, 0, field);
    RegCloseKey(key);
}

void SyncAutoDisconnect() {
    HKEY key;
    if (!OpenKey(kInternetSettingsKey, "ERROR: open auto disconnect failed(registry)", &key))
        return;
    int* field = &dialRegistryState.enableAutoDisconnect;
    ReadSwitch(key, kAutoDisconnectValue, field);
    if (*field == 0 && connectionSettings.autoDisconnect != 0) {
        WriteSwitch(key, kAutoDisconnectValue, 1, field);
        // Idle minutes that didn't reach the registry are flagged, so they are written again.
        if (!WriteNumber(key, kIdleTimeValue, connectionSettings.idleMinutes))
            connectionSettings.idleTimeChanged = 1;
    }
    if (connectionSettings.idleTimeChanged) {
        if (WriteNumber(key, kIdleTimeValue, connectionSettings.idleMinutes))
            connectionSettings.idleTimeChanged = 0;
    }
    if (*field != 0 && connectionSettings.autoDisconnect == 0)
        WriteSwitch(key, kAutoDisconnectValue, 0, field);
    RegCloseKey(key);
}

void CheckDialProfile() {
    HKEY key;
    if (!OpenKey(kRemoteAccessKey, "ERROR: Failed to get Netscape installation directory", &key))
        return;
    char profile[kProfileSize];
    DWORD size = sizeof profile;
    LONG result = RegQueryValueExA(key, kProfileValue, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(profile), &size);
    // A name too long for the buffer names a connection all the same. A missing value is an
    // empty name; a stored name need not end in a NUL, so it is measured within what was read.
    bool chosen = result == ERROR_MORE_DATA;
    char shortName[2] = "";
    if (result == ERROR_SUCCESS) {
        DWORD length = 0;
        while (length < size && length < sizeof profile && profile[length])
            ++length;
        chosen = length > 1;
        if (length == 1)
            shortName[0] = profile[0];
    }
    if (!chosen)
        ShowDataBox(shortName, "ERROR: no dial line entry");
    RegCloseKey(key);
}
