#include "app/browser.h"

#include "common/message_boxes.h"

#include <cstring>

int BrowserKind = kNoBrowser;
char LaunchCommand[kLaunchCommandSize];

namespace {

const char kDefaultIconKey[] = "HTTP\\DefaultIcon";
const char kNetscapePathKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";
const char kExplorerPathKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";

// What a key's default value holds, as text. Shared by the two lookups, which never overlap.
char registryText[kMaxBrowserPath + 1];

// Reads the key's default value into registryText. A value that is missing, or longer than the
// buffer, reads as empty text; the text always ends within the buffer, even when
// the stored data has no terminator.
void ReadDefaultText(HKEY key) {
    DWORD size = sizeof registryText;
    LONG result = RegQueryValueExA(key, nullptr, nullptr, nullptr,
                                   reinterpret_cast<LPBYTE>(registryText), &size);
    if (result != ERROR_SUCCESS || size > sizeof registryText)
        size = 0;
    // Data stored without its terminator ends where the data does, if there is room for one.
    if (size == sizeof registryText && !memchr(registryText, '\0', size))
        size = 0;
    if (size < sizeof registryText)
        registryText[size] = '\0';
}

bool HoldsBlank(const char* text) {
    return strchr(text, ' ') || strchr(text, '\t');
}

} // namespace

int DetectDefaultBrowser() {
    HKEY key;
    // HKEY_CLASSES_ROOT is itself defined as a cast.
    // cppcheck-suppress cstyleCast
    LONG result = RegOpenKeyExA(HKEY_CLASSES_ROOT, kDefaultIconKey, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS) {
        ShowRegistryErrorBox(result, "ERROR: open default browser failed");
        return 0;
    }
    ReadDefaultText(key);
    RegCloseKey(key);
    BrowserKind = ClassifyBrowser(registryText);
    return BrowserKind != kNoBrowser ? 1 : 0;
}

int ClassifyBrowser(const char* text) {
    static const struct {
        const char* name;
        int kind;
    } kTests[] = {
        {"NETSCAPE.EXE", kNetscape},
        {"netscape.exe", kNetscape},
        {"URL.DLL", kInternetExplorer},
        {"url.dll", kInternetExplorer},
    };
    for (const auto& test : kTests) {
        if (strstr(text, test.name))
            return test.kind;
    }
    ShowDataBox(text, "ERROR: Default Browser Not Supported");
    return kNoBrowser;
}

int LookUpBrowserPath(int kind) {
    LaunchCommand[0] = '\0';
    const char* path;
    const char* failure;
    if (kind == kNetscape) {
        path = kNetscapePathKey;
        failure = "ERROR: Failed to get Netscape installation directory";
    } else if (kind == kInternetExplorer) {
        path = kExplorerPathKey;
        failure = "ERROR: Failed to get Internet Explorer installation directory";
    } else {
        return 0;
    }
    HKEY key;
    // cppcheck-suppress cstyleCast
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key);
    if (result != ERROR_SUCCESS) {
        ShowRegistryErrorBox(result, failure);
        return 1;
    }
    ReadDefaultText(key);
    RegCloseKey(key);
    SetBrowserPath(LaunchCommand, sizeof LaunchCommand, registryText);
    return 1;
}

bool SetBrowserPath(char* command, size_t size, const char* path) {
    size_t length = strlen(path);
    // Unquoted, a path with a blank would let the system start a program named by a prefix of it
    // ("C:\Program" for "C:\Program Files\...").
    bool quote = HoldsBlank(path) && path[0] != '"';
    size_t needed = length + (quote ? 2 : 0) + 1;
    if (size == 0 || needed > size) {
        if (size)
            command[0] = '\0';
        return false;
    }
    char* out = command;
    if (quote)
        *out++ = '"';
    memcpy(out, path, length);
    out += length;
    if (quote)
        *out++ = '"';
    *out = '\0';
    return true;
}

bool AppendAddress(char* command, size_t size, const char* address) {
    size_t used = strlen(command);
    size_t length = strlen(address);
    if (used + 1 + length + 1 > size)
        return false;
    command[used] = ' ';
    memcpy(command + used + 1, address, length + 1);
    return true;
}
