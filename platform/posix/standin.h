// What the native tests see of the Win32 stand-in: the message boxes it recorded, its in-memory
// registry, the commands it was asked to run, and the failures a test can make it report.
#pragma once

#include "platform/win32.h"

#include <string>
#include <vector>

namespace standin {

struct Box {
    std::string text;
    std::string caption;
    UINT flags;
    HWND owner;
};

struct RegistryWrite {
    std::string key; // "HKCU\\Software\\..." as opened
    std::string value;
    DWORD type;
    std::vector<BYTE> data;
};

// A call the stand-in can be told to fail.
enum class Call {
    GlobalAlloc,
    OpenForReading, // CreateFileA with OPEN_EXISTING
    OpenForWriting, // CreateFileA with CREATE_ALWAYS
    WriteFile,
    FlushFileBuffers,
    CloseHandle,
    MoveFileEx,
    DeleteFile,
    RegSetValue, // RegSetValueExA: nothing is stored or recorded
    Count
};

// Forgets every box, registry key, command, pause and failure; the files on disk stay.
void Reset();

const std::vector<Box>& Boxes();
void ClearBoxes();

// Makes the nth call of the kind from now (1 = the next one) fail with the given error code.
void FailCall(Call call, int nth = 1, DWORD error = ERROR_ACCESS_DENIED);
// How many calls of the kind were made since the last Reset.
int CallCount(Call call);

// Registry, addressed as "HKCU\\Software\\Key" ("HKCR", "HKCU", "HKLM").
void CreateKey(const std::string& path);
void SetValue(const std::string& path, const std::string& name, DWORD type,
              const std::vector<BYTE>& data);
void SetStringValue(const std::string& path, const std::string& name, const std::string& text);
bool HasValue(const std::string& path, const std::string& name);
std::vector<BYTE> Value(const std::string& path, const std::string& name);
DWORD ValueType(const std::string& path, const std::string& name);
// Makes every opening of the key fail with the given last-error code (ERROR_FILE_NOT_FOUND for
// a key that does not exist needs no call: it is simply not created).
void FailKeyOpen(const std::string& path, DWORD error);
// Each value that RegSetValueExA stored, in order.
const std::vector<RegistryWrite>& RegistryWrites();
// Keys opened and not yet closed.
int OpenKeys();
// Global memory blocks allocated and not yet freed, and those still locked.
int LiveBlocks();
int LockedBlocks();
// Files the program opened and has not closed.
int OpenFiles();

const std::vector<std::string>& Executed();
const std::vector<DWORD>& Sleeps();

} // namespace standin
