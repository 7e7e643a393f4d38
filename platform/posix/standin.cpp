// The stand-in for the Win32 calls of the portable code, for the native test build only. Files
// are real files in the current directory; message boxes, the registry, WinExec and Sleep are
// recorded in memory for the tests to inspect.
#include "platform/posix/standin.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <new>
#include <set>
#include <unistd.h>

namespace {

struct RegValue {
    DWORD type;
    std::vector<BYTE> data;
};

struct RegKey {
    std::map<std::string, RegValue> values; // by lower-case name
    DWORD openError = 0;
};

struct OpenKey {
    std::string path;
};

struct Block {
    void* memory;
    int locks;
};

struct File {
    int fd;
};

struct Failure {
    int countdown;
    DWORD error;
};

struct State {
    std::vector<standin::Box> boxes;
    std::map<std::string, RegKey> keys; // by lower-case path
    std::vector<standin::RegistryWrite> writes;
    std::set<OpenKey*> openKeys;
    std::set<Block*> blocks;
    std::set<File*> files;
    std::vector<std::string> executed;
    std::vector<DWORD> sleeps;
    std::vector<Failure> failures[static_cast<int>(standin::Call::Count)];
    int calls[static_cast<int>(standin::Call::Count)] = {};
    DWORD lastError = 0;
};

State& S() {
    static State state;
    return state;
}

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

const char* RootName(HKEY root) {
    if (root == HKEY_CLASSES_ROOT)
        return "HKCR";
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    return nullptr;
}

// Counts the call and tells whether a test asked for it to fail now.
bool ShouldFail(standin::Call call, DWORD* error) {
    State& s = S();
    int index = static_cast<int>(call);
    s.calls[index]++;
    // Every pending failure counts this call, so several can be set up for one kind at once.
    bool fail = false;
    for (auto it = s.failures[index].begin(); it != s.failures[index].end();) {
        if (--it->countdown == 0) {
            *error = it->error;
            fail = true;
            it = s.failures[index].erase(it);
        } else {
            ++it;
        }
    }
    return fail;
}

DWORD ErrnoToError(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOSPC:
        return ERROR_DISK_FULL;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

RegKey* FindKey(const std::string& path) {
    auto it = S().keys.find(Lower(path));
    return it == S().keys.end() ? nullptr : &it->second;
}

const char* SystemText(DWORD code) {
    switch (code) {
    case 0:
        return "The operation completed successfully.\r\n";
    case ERROR_FILE_NOT_FOUND:
        return "The system cannot find the file specified.\r\n";
    case ERROR_ACCESS_DENIED:
        return "Access is denied.\r\n";
    default:
        return nullptr;
    }
}

} // namespace

namespace standin {

void Reset() {
    State& s = S();
    for (Block* block : s.blocks) {
        free(block->memory);
        delete block;
    }
    for (File* file : s.files) {
        close(file->fd);
        delete file;
    }
    for (OpenKey* key : s.openKeys)
        delete key;
    s.~State();
    new (&s) State();
}

const std::vector<Box>& Boxes() {
    return S().boxes;
}

void ClearBoxes() {
    S().boxes.clear();
}

void FailCall(Call call, int nth, DWORD error) {
    S().failures[static_cast<int>(call)].push_back(Failure{nth, error});
}

int CallCount(Call call) {
    return S().calls[static_cast<int>(call)];
}

void CreateKey(const std::string& path) {
    S().keys[Lower(path)];
}

void SetValue(const std::string& path, const std::string& name, DWORD type,
              const std::vector<BYTE>& data) {
    S().keys[Lower(path)].values[Lower(name)] = RegValue{type, data};
}

void SetStringValue(const std::string& path, const std::string& name, const std::string& text) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetValue(path, name, REG_SZ, data);
}

bool HasValue(const std::string& path, const std::string& name) {
    RegKey* key = FindKey(path);
    return key && key->values.count(Lower(name)) != 0;
}

std::vector<BYTE> Value(const std::string& path, const std::string& name) {
    RegKey* key = FindKey(path);
    if (!key || !key->values.count(Lower(name)))
        return {};
    return key->values[Lower(name)].data;
}

DWORD ValueType(const std::string& path, const std::string& name) {
    RegKey* key = FindKey(path);
    if (!key || !key->values.count(Lower(name)))
        return 0;
    return key->values[Lower(name)].type;
}

void FailKeyOpen(const std::string& path, DWORD error) {
    S().keys[Lower(path)].openError = error;
}

const std::vector<RegistryWrite>& RegistryWrites() {
    return S().writes;
}

int OpenKeys() {
    return static_cast<int>(S().openKeys.size());
}

int LiveBlocks() {
    return static_cast<int>(S().blocks.size());
}

int LockedBlocks() {
    int locked = 0;
    for (Block* block : S().blocks)
        locked += block->locks > 0;
    return locked;
}

int OpenFiles() {
    return static_cast<int>(S().files.size());
}

const std::vector<std::string>& Executed() {
    return S().executed;
}

const std::vector<DWORD>& Sleeps() {
    return S().sleeps;
}

} // namespace standin

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    S().boxes.push_back(standin::Box{text ? text : "", caption ? caption : "", type, owner});
    return IDOK;
}

LSTATUS RegOpenKeyExA(HKEY root, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
    const char* rootName = RootName(root);
    if (!rootName || !subKey)
        return ERROR_ACCESS_DENIED;
    std::string path = std::string(rootName) + "\\" + subKey;
    RegKey* key = FindKey(path);
    if (!key)
        return ERROR_FILE_NOT_FOUND;
    if (key->openError)
        return static_cast<LSTATUS>(key->openError);
    OpenKey* open = new OpenKey{path};
    S().openKeys.insert(open);
    *result = reinterpret_cast<HKEY>(open);
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExA(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
    OpenKey* open = reinterpret_cast<OpenKey*>(key);
    if (!S().openKeys.count(open))
        return ERROR_ACCESS_DENIED;
    RegKey* stored = FindKey(open->path);
    auto it = stored->values.find(Lower(name ? name : ""));
    if (it == stored->values.end())
        return ERROR_FILE_NOT_FOUND;
    const RegValue& value = it->second;
    if (type)
        *type = value.type;
    DWORD needed = static_cast<DWORD>(value.data.size());
    if (!size)
        return data ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
    if (data && *size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (data && needed)
        memcpy(data, value.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegSetValueExA(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size) {
    OpenKey* open = reinterpret_cast<OpenKey*>(key);
    if (!S().openKeys.count(open))
        return ERROR_ACCESS_DENIED;
    DWORD error;
    if (ShouldFail(standin::Call::RegSetValue, &error))
        return static_cast<LSTATUS>(error);
    std::vector<BYTE> bytes(data, data + size);
    FindKey(open->path)->values[Lower(name ? name : "")] = RegValue{type, bytes};
    S().writes.push_back(standin::RegistryWrite{open->path, name ? name : "", type, bytes});
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    OpenKey* open = reinterpret_cast<OpenKey*>(key);
    if (!S().openKeys.erase(open))
        return ERROR_ACCESS_DENIED;
    delete open;
    return ERROR_SUCCESS;
}

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
    DWORD error;
    if (ShouldFail(standin::Call::GlobalAlloc, &error)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    void* memory = malloc(bytes ? bytes : 1);
    if (!memory) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Block* block = new Block{memory, 0};
    S().blocks.insert(block);
    return block;
}

LPVOID GlobalLock(HGLOBAL handle) {
    Block* block = static_cast<Block*>(handle);
    if (!S().blocks.count(block))
        return nullptr;
    block->locks++;
    return block->memory;
}

BOOL GlobalUnlock(HGLOBAL handle) {
    Block* block = static_cast<Block*>(handle);
    if (!S().blocks.count(block) || block->locks == 0)
        return FALSE;
    return --block->locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
    Block* block = static_cast<Block*>(handle);
    if (!S().blocks.erase(block))
        return handle;
    free(block->memory);
    delete block;
    return nullptr;
}

HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, void*, DWORD disposition, DWORD, HANDLE) {
    bool writing = disposition == CREATE_ALWAYS;
    DWORD error;
    if (ShouldFail(writing ? standin::Call::OpenForWriting : standin::Call::OpenForReading,
                   &error)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    int fd = writing ? open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644) : open(name, O_RDONLY);
    if (fd < 0) {
        SetLastError(ErrnoToError(errno));
        return INVALID_HANDLE_VALUE;
    }
    File* file = new File{fd};
    S().files.insert(file);
    return file;
}

BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, void*) {
    File* file = static_cast<File*>(handle);
    *read = 0;
    if (!S().files.count(file))
        return FALSE;
    ssize_t got = ::read(file->fd, buffer, toRead);
    if (got < 0) {
        SetLastError(ErrnoToError(errno));
        return FALSE;
    }
    *read = static_cast<DWORD>(got);
    return TRUE;
}

BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*) {
    File* file = static_cast<File*>(handle);
    *written = 0;
    DWORD error;
    if (!S().files.count(file))
        return FALSE;
    if (ShouldFail(standin::Call::WriteFile, &error)) {
        SetLastError(error);
        return FALSE;
    }
    const char* bytes = static_cast<const char*>(buffer);
    while (*written < toWrite) {
        ssize_t put = ::write(file->fd, bytes + *written, toWrite - *written);
        if (put < 0) {
            SetLastError(ErrnoToError(errno));
            return FALSE;
        }
        *written += static_cast<DWORD>(put);
    }
    return TRUE;
}

BOOL FlushFileBuffers(HANDLE handle) {
    DWORD error;
    if (!S().files.count(static_cast<File*>(handle)))
        return FALSE;
    if (ShouldFail(standin::Call::FlushFileBuffers, &error)) {
        SetLastError(error);
        return FALSE;
    }
    // Every write above went straight to the system; a process that dies now loses nothing.
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    File* file = static_cast<File*>(handle);
    if (!S().files.erase(file))
        return FALSE;
    close(file->fd);
    delete file;
    DWORD error;
    if (ShouldFail(standin::Call::CloseHandle, &error)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR name) {
    DWORD error;
    if (ShouldFail(standin::Call::DeleteFile, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (unlink(name) != 0) {
        SetLastError(ErrnoToError(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR replaced, DWORD) {
    DWORD error;
    if (ShouldFail(standin::Call::MoveFileEx, &error)) {
        SetLastError(error);
        return FALSE;
    }
    if (rename(existing, replaced) != 0) {
        SetLastError(ErrnoToError(errno));
        return FALSE;
    }
    return TRUE;
}

UINT WinExec(LPCSTR commandLine, UINT) {
    S().executed.push_back(commandLine ? commandLine : "");
    return 33;
}

void Sleep(DWORD milliseconds) {
    S().sleeps.push_back(milliseconds);
}

DWORD GetLastError() {
    return S().lastError;
}

void SetLastError(DWORD code) {
    S().lastError = code;
}

DWORD FormatMessageA(DWORD flags, LPCVOID, DWORD messageId, DWORD, LPSTR buffer, DWORD, va_list*) {
    const char* text = SystemText(messageId);
    if (!text || !(flags & FORMAT_MESSAGE_ALLOCATE_BUFFER))
        return 0;
    size_t length = strlen(text);
    char* copy = static_cast<char*>(malloc(length + 1));
    memcpy(copy, text, length + 1);
    *reinterpret_cast<char**>(buffer) = copy;
    return static_cast<DWORD>(length);
}

HLOCAL LocalFree(HLOCAL block) {
    free(block);
    return nullptr;
}
