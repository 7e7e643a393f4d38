// The Win32 calls of the portable code, for the native test build only: real files in the current
// directory, the registry in memory, message boxes, registry writes, WinExec and Sleep logged. The
// nth call of a kind can fail, and MoveFileExA can answer as on Windows 95, 98 and Me.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <string>
#include <unistd.h>

typedef uint32_t DWORD, UINT;
typedef int32_t LONG;
typedef unsigned char BYTE, *LPBYTE;
typedef char* LPSTR;
typedef void *HANDLE, *HGLOBAL;
typedef size_t SIZE_T;
typedef intptr_t LPARAM;
typedef struct HWND__* HWND;
typedef const std::string* HKEY; // the key's path

const DWORD MB_OK = 0, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40, MB_SYSTEMMODAL = 0x1000,
            KEY_ALL_ACCESS = 0xF003F, REG_BINARY = 3, GMEM_MOVEABLE = 2, SW_SHOW = 5,
            GENERIC_READ = 0x80000000, GENERIC_WRITE = 0x40000000, FILE_SHARE_READ = 1,
            FILE_SHARE_WRITE = 2, CREATE_ALWAYS = 2, OPEN_EXISTING = 3,
            FILE_ATTRIBUTE_NORMAL = 0x80, INVALID_FILE_ATTRIBUTES = ~0u,
            MOVEFILE_REPLACE_EXISTING = 1, MOVEFILE_WRITE_THROUGH = 8,
            FORMAT_MESSAGE_ALLOCATE_BUFFER = 0x100, FORMAT_MESSAGE_IGNORE_INSERTS = 0x200,
            FORMAT_MESSAGE_FROM_SYSTEM = 0x1000;
const LONG ERROR_SUCCESS = 0, ERROR_FILE_NOT_FOUND = 2, ERROR_ACCESS_DENIED = 5,
           ERROR_NOT_ENOUGH_MEMORY = 8, ERROR_CALL_NOT_IMPLEMENTED = 120, ERROR_MORE_DATA = 234;
const HANDLE INVALID_HANDLE_VALUE = nullptr; // a file's handle is its descriptor + 1
inline const std::string HKEY_CLASSES_ROOT[] = {"HKCR"}, HKEY_CURRENT_USER[] = {"HKCU"},
                         HKEY_LOCAL_MACHINE[] = {"HKLM"};

namespace standin {

enum Call { kOpenRead, kOpenWrite, kRead, kWrite, kFlush, kClose, kMove, kDelete, kAlloc, kRegSet };

inline struct State {
    // A line for each box ("caption: text (flags in hex)", ", owned" when it has an owner),
    // registry write ("name=value", as a number), WinExec ("exec command") and Sleep.
    std::string log;
    std::map<std::string, LONG> keys;          // by path: what opening the key gives
    std::map<std::string, std::string> values; // by "path\name"
    int calls[kRegSet + 1] = {};               // the calls of each kind so far
    std::set<int> fail[kRegSet + 1];           // the numbers of the calls of each kind that fail
    int openFiles = 0, openKeys = 0;
    DWORD lastError = 0, execResult = 33; // what GetLastError and WinExec give
    bool noMoveFileEx = false;            // MoveFileExA answers ERROR_CALL_NOT_IMPLEMENTED
} s;                                      // a test starts afresh with s = State()

inline auto Fails = [](Call call) { return s.fail[call].count(++s.calls[call]) != 0; };
inline auto Fd = [](HANDLE file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; };

} // namespace standin

inline auto MessageBoxA = [](HWND owner, const char* text, const char* caption, DWORD flags) {
    char style[32];
    snprintf(style, sizeof style, " (%x%s)\n", flags, owner ? ", owned" : "");
    return standin::s.log += std::string(caption) + ": " + text + style, 1;
};

inline auto RegOpenKeyExA = [](HKEY root, const char* path, DWORD, DWORD, HKEY* key) {
    auto it = standin::s.keys.find(*root + "\\" + path);
    LONG result = it == standin::s.keys.end() ? ERROR_FILE_NOT_FOUND : it->second;
    standin::s.openKeys += result == ERROR_SUCCESS;
    return *key = result == ERROR_SUCCESS ? &it->first : nullptr, result;
};
inline auto RegQueryValueExA = [](HKEY key, const char* name, DWORD*, DWORD*, BYTE* data,
                                  DWORD* size) {
    auto it = standin::s.values.find(*key + "\\" + (name ? name : ""));
    if (it == standin::s.values.end())
        return *size = 0, ERROR_FILE_NOT_FOUND;
    DWORD room = *size;
    *size = static_cast<DWORD>(it->second.size());
    return *size > room ? ERROR_MORE_DATA : (memcpy(data, it->second.data(), *size), ERROR_SUCCESS);
};
inline auto RegSetValueExA = [](HKEY key, const char* name, DWORD, DWORD, const BYTE* data,
                                DWORD size) {
    if (standin::Fails(standin::kRegSet))
        return ERROR_ACCESS_DENIED;
    LONG number = 0;
    memcpy(&number, data, size < 4 ? size : 4);
    standin::s.values[*key + "\\" + name].assign(data, data + size);
    standin::s.log += name + ("=" + std::to_string(number)) + "\n";
    return ERROR_SUCCESS;
};
inline auto RegCloseKey = [](HKEY) { return --standin::s.openKeys, ERROR_SUCCESS; };

// As on Windows, a block is freed locked or not.
inline auto GlobalAlloc = [](DWORD, SIZE_T bytes) {
    return standin::Fails(standin::kAlloc) ? nullptr : calloc(1, bytes);
};
inline auto GlobalLock = [](HGLOBAL block) { return block; };
inline auto GlobalUnlock = [](HGLOBAL) { return 0; };
inline auto GlobalFree = [](HGLOBAL block) { return free(block), nullptr; };

inline auto CreateFileA = [](const char* name, DWORD, DWORD, void*, DWORD disposition, DWORD,
                             HANDLE) {
    bool write = disposition == CREATE_ALWAYS;
    int fd = standin::Fails(write ? standin::kOpenWrite : standin::kOpenRead) ? -1
             : write ? open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644)
                     : open(name, O_RDONLY);
    standin::s.openFiles += fd >= 0;
    return reinterpret_cast<HANDLE>(intptr_t{fd} + 1);
};
inline auto ReadFile = [](HANDLE file, void* buffer, DWORD size, DWORD* done, void*) {
    ssize_t got = standin::Fails(standin::kRead) ? -1 : read(standin::Fd(file), buffer, size);
    return *done = got > 0 ? static_cast<DWORD>(got) : 0, got >= 0;
};
inline auto WriteFile = [](HANDLE file, const void* buffer, DWORD size, DWORD* done, void*) {
    ssize_t put = standin::Fails(standin::kWrite) ? -1 : write(standin::Fd(file), buffer, size);
    return *done = put > 0 ? static_cast<DWORD>(put) : 0, put >= 0;
};
// Every write went straight to the system: a process killed now loses nothing.
inline auto FlushFileBuffers = [](HANDLE) { return !standin::Fails(standin::kFlush); };
inline auto CloseHandle = [](HANDLE file) {
    close(standin::Fd(file));
    return --standin::s.openFiles, !standin::Fails(standin::kClose);
};
inline auto DeleteFileA = [](const char* name) {
    return !standin::Fails(standin::kDelete) && unlink(name) == 0;
};
inline auto MoveFileExA = [](const char* from, const char* to, DWORD) {
    if (standin::s.noMoveFileEx)
        return standin::s.lastError = ERROR_CALL_NOT_IMPLEMENTED, false;
    return !standin::Fails(standin::kMove) && rename(from, to) == 0;
};
// Never replaces: fails when the new name exists.
inline auto MoveFileA = [](const char* from, const char* to) {
    return !standin::Fails(standin::kMove) && access(to, F_OK) != 0 && rename(from, to) == 0;
};
inline auto GetFileAttributesA = [](const char* name) {
    return access(name, F_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
};

inline auto WinExec = [](const char* command, DWORD) {
    return standin::s.log += "exec " + std::string(command) + "\n", standin::s.execResult;
};
inline auto Sleep = [](DWORD ms) { standin::s.log += "sleep " + std::to_string(ms) + "\n"; };
inline auto GetLastError = [] { return standin::s.lastError; };
inline auto SetLastError = [](DWORD code) { standin::s.lastError = code; };
// Knows one text, in the user's default language only.
inline auto FormatMessageA = [](DWORD, const void*, DWORD code, DWORD language, LPSTR buffer, DWORD,
                                void*) {
    const char* text = code == 2 ? "File not found." : "";
    *reinterpret_cast<char**>(buffer) = language == 1024 && *text ? strdup(text) : nullptr;
    return language == 1024 ? static_cast<DWORD>(strlen(text)) : 0;
};
inline auto LocalFree = [](void* block) { return free(block), nullptr; };
