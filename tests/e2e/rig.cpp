#include "tests/e2e/rig.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

namespace e2e {
namespace {

const DWORD kPollMs = 20;
const DWORD kSendTimeoutMs = 5000;
// The exit code of a program that the rig ended itself.
const DWORD kKilledExitCode = 0xE2E;

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], size,
                        nullptr, nullptr);
    return utf8;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty())
        return std::wstring();
    int size =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], size);
    return text;
}

// SendMessageW that gives up when the program does not answer; 0 then.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs,
                             &result))
        return 0;
    return static_cast<LRESULT>(result);
}

std::string Join(const std::vector<std::string>& items) {
    std::string joined = "{";
    for (size_t i = 0; i < items.size(); ++i)
        joined += (i ? ", " : "") + Escaped(items[i]);
    return joined + "}";
}

std::string Describe(const RegValue& value) {
    if (!value.exists)
        return "no value";
    return "type " + std::to_string(value.type) + ", data " + Escaped(value.data);
}

std::string Describe(const Box& box) {
    return "{" + Escaped(box.caption) + ", " + Escaped(box.text) + "}" +
           (box.owner ? " owned" : "") + (box.topmost ? " topmost" : "") +
           (box.okOnly ? "" : " not OK-only");
}

std::string Describe(const std::vector<Box>& boxes) {
    std::string text;
    for (const Box& box : boxes)
        text += "\n    " + Describe(box);
    return text.empty() ? " none" : text;
}

std::string LastErrorText() {
    return "error " + std::to_string(GetLastError());
}

// Makes every folder on the way to path (a file's path: its last part is left alone).
void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('\\', 3); slash != std::string::npos;
         slash = path.find('\\', slash + 1))
        CreateDirectoryA(path.substr(0, slash).c_str(), nullptr);
}

void DeleteTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

// ---- Registry changes made through the setters, undone when the scenario ends.

struct RegUndo {
    HKEY root;
    std::string key;
    bool keyCreated; // the setter made this key (the first missing one on the way): delete it
    std::string name;
    RegValue previous;
};
std::vector<RegUndo> regUndo;

bool KeyExists(HKEY root, const std::string& key) {
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

// The first key on the way to key that does not exist yet; empty when key exists.
std::string FirstMissingKey(HKEY root, const std::string& key) {
    for (size_t end = key.find('\\');; end = key.find('\\', end + 1)) {
        std::string part = key.substr(0, end);
        if (!KeyExists(root, part))
            return part;
        if (end == std::string::npos)
            return std::string();
    }
}

void UndoRegistryChanges() {
    for (auto undo = regUndo.rbegin(); undo != regUndo.rend(); ++undo) {
        if (undo->keyCreated)
            DeleteRegKey(undo->root, undo->key);
        else if (undo->previous.exists)
            RegSetKeyValueA(undo->root, undo->key.c_str(), undo->name.c_str(), undo->previous.type,
                            undo->previous.data.data(),
                            static_cast<DWORD>(undo->previous.data.size()));
        else
            DeleteRegValue(undo->root, undo->key, undo->name);
    }
    regUndo.clear();
}

struct ProcessWindows {
    DWORD processId;
    std::string className;
    std::string caption;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM data) {
    ProcessWindows& search = *reinterpret_cast<ProcessWindows*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || ClassOf(window) != search.className)
        return TRUE;
    if (search.visibleOnly && !IsWindowVisible(window))
        return TRUE;
    if (!search.caption.empty() && Text(window) != search.caption)
        return TRUE;
    search.found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const std::string& className, const std::string& caption,
                       bool visibleOnly) {
    ProcessWindows search = {processId, className, caption, visibleOnly, nullptr};
    if (processId)
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        Sleep(kPollMs);
    }
}

// ---- Bytes

std::string Le32(uint32_t n) {
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<size_t>(i)] = static_cast<char>((n >> (8 * i)) & 0xFF);
    return bytes;
}

std::string Escaped(const std::string& bytes) {
    std::string text = "\"";
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte == '\r') {
            text += "\\r";
        } else if (byte == '\n') {
            text += "\\n";
        } else if (byte == '"' || byte == '\\') {
            text += '\\';
            text += c;
        } else if (byte < 0x20 || byte >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", byte);
            text += hex;
        } else {
            text += c;
        }
    }
    return text + "\"";
}

// ---- The program's files

const std::vector<Location> kTypicalLocations = {{"One", "http://a/"}, {"Two", "http://b/"}};

std::string PositionFile(unsigned x, unsigned y) {
    return std::to_string(x) + "\r\n" + std::to_string(y);
}

std::string StartFile(const std::string& firstLine) {
    return firstLine + "\r\n";
}

std::string ListFile(const std::vector<Location>& locations) {
    std::string file = std::to_string(locations.size()) + "\r\n";
    for (const Location& location : locations)
        file += location.description + "\r\n" + location.address + "\r\n";
    return file;
}

std::string DialFile(bool autoDial) {
    return std::string(autoDial ? "1" : "0") +
           "\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n";
}

std::string DiscFile(bool autoDisconnect, const std::string& idleMinutesText) {
    return std::string(autoDisconnect ? "1" : "0") + "\r\n" + idleMinutesText +
           "\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on\r\n"
           "second line  = number of idle minutes before disconnect\r\n";
}

// ---- Registry

const char kHttpDefaultIcon[] = "HTTP\\DefaultIcon";
const char kIePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kNetscapePath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";
const char kInternetSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kRemoteAccess[] = "RemoteAccess";

void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& data, Where where) {
    std::string missing = FirstMissingKey(root, key);
    if (!missing.empty())
        regUndo.push_back({root, missing, true, std::string(), RegValue()});
    else
        regUndo.push_back({root, key, false, name, ReadRegValue(root, key, name)});
    LONG result = RegSetKeyValueA(root, key.c_str(), name.c_str(), type, data.data(),
                                  static_cast<DWORD>(data.size()));
    if (result != ERROR_SUCCESS)
        ADD_FAILURE_AT(where.file, where.line)
            << "could not set " << key << " value " << Escaped(name) << ": error " << result;
}

void SetRegString(HKEY root, const std::string& key, const std::string& name,
                  const std::string& text, Where where) {
    SetRegValue(root, key, name, REG_SZ, text + '\0', where);
}

void SetRegBinary(HKEY root, const std::string& key, const std::string& name,
                  const std::string& data, Where where) {
    SetRegValue(root, key, name, REG_BINARY, data, where);
}

void DeleteRegValue(HKEY root, const std::string& key, const std::string& name) {
    RegDeleteKeyValueA(root, key.c_str(), name.c_str());
}

void DeleteRegKey(HKEY root, const std::string& key) {
    RegDeleteTreeA(root, key.c_str());
    RegDeleteKeyA(root, key.c_str());
}

RegValue ReadRegValue(HKEY root, const std::string& key, const std::string& name) {
    RegValue value;
    HKEY handle;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size) ==
        ERROR_SUCCESS) {
        value.data.resize(size);
        if (RegQueryValueExA(handle, name.c_str(), nullptr, &value.type,
                             reinterpret_cast<BYTE*>(&value.data[0]), &size) == ERROR_SUCCESS) {
            value.exists = true;
            value.data.resize(size);
        }
    }
    RegCloseKey(handle);
    if (!value.exists)
        value = RegValue();
    return value;
}

void ExpectRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                    const std::string& data, Where where) {
    RegValue value;
    bool ok = WaitUntil([&] {
        value = ReadRegValue(root, key, name);
        return value.exists && value.type == type && value.data == data;
    });
    if (!ok)
        ADD_FAILURE_AT(where.file, where.line)
            << key << " value " << Escaped(name) << "\n  expected: type " << type << ", data "
            << Escaped(data) << "\n  found:    " << Describe(value);
}

void ExpectNoRegValue(HKEY root, const std::string& key, const std::string& name, Where where) {
    RegValue value;
    bool ok = WaitUntil([&] {
        value = ReadRegValue(root, key, name);
        return !value.exists;
    });
    if (!ok)
        ADD_FAILURE_AT(where.file, where.line)
            << key << " value " << Escaped(name)
            << "\n  expected: no value\n  found:    " << Describe(value);
}

// ---- Windows of any process

std::string Text(HWND window) {
    LRESULT length = Send(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(copied, length))));
    return Utf8(text);
}

std::string ClassOf(HWND window) {
    wchar_t name[256];
    int length = GetClassNameW(window, name, 256);
    return Utf8(std::wstring(name, static_cast<size_t>(std::max(length, 0))));
}

HWND Item(HWND dialog, int id, Where where) {
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        ADD_FAILURE_AT(where.file, where.line) << "the window has no control " << id;
    return item;
}

int ComboCount(HWND combo) {
    return static_cast<int>(Send(combo, CB_GETCOUNT, 0, 0));
}

std::vector<std::string> ComboItems(HWND combo) {
    std::vector<std::string> items;
    int count = ComboCount(combo);
    for (int i = 0; i < count; ++i) {
        LRESULT length = Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        LRESULT copied =
            Send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(std::max<LRESULT>(0, std::min(copied, length))));
        items.push_back(Utf8(text));
    }
    return items;
}

int ComboSelection(HWND combo) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(combo, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
        return CB_ERR;
    return static_cast<int>(static_cast<LRESULT>(result));
}

RECT WindowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool Visible(HWND window) {
    return IsWindowVisible(window) != FALSE;
}

bool Enabled(HWND window) {
    return IsWindowEnabled(window) != FALSE;
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, WM_COMMAND, wParam, lParam);
}

void SysCommand(HWND window, WPARAM command) {
    PostMessageW(window, WM_SYSCOMMAND, command, 0);
}

void PostClose(HWND window) {
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void Select(HWND combo, int index) {
    Send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    PostMessageW(GetParent(combo), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(combo)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

void SetText(HWND control, const std::string& text) {
    std::wstring wide = Wide(text);
    Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void VScroll(HWND window, HWND bar, int code) {
    PostMessageW(window, WM_VSCROLL, MAKEWPARAM(static_cast<WORD>(code), 0),
                 reinterpret_cast<LPARAM>(bar));
}

void ExpectText(HWND window, const std::string& text, Where where) {
    std::string found;
    if (!WaitUntil([&] { return (found = Text(window)) == text; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "window text\n  expected: " << Escaped(text) << "\n  found:    " << Escaped(found);
}

void ExpectComboItems(HWND combo, const std::vector<std::string>& items, Where where) {
    std::vector<std::string> found;
    if (!WaitUntil([&] { return (found = ComboItems(combo)) == items; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "combo box items\n  expected: " << Join(items) << "\n  found:    " << Join(found);
}

void ExpectComboSelection(HWND combo, int index, Where where) {
    int found = CB_ERR;
    if (!WaitUntil([&] { return (found = ComboSelection(combo)) == index; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "combo box selection\n  expected: " << index << "\n  found:    " << found;
}

void ExpectVisible(HWND window, bool visible, Where where) {
    if (!WaitUntil([&] { return Visible(window) == visible; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "the window is " << (visible ? "hidden" : "visible") << ", expected "
            << (visible ? "visible" : "hidden");
}

void ExpectEnabled(HWND window, bool enabled, Where where) {
    if (!WaitUntil([&] { return Enabled(window) == enabled; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "the window is " << (enabled ? "disabled" : "enabled") << ", expected "
            << (enabled ? "enabled" : "disabled");
}

void ExpectWindowRect(HWND window, int left, int top, int width, int height, Where where) {
    RECT rect = {};
    bool ok = WaitUntil([&] {
        rect = WindowRect(window);
        return rect.left == left && rect.top == top && rect.right - rect.left == width &&
               rect.bottom - rect.top == height;
    });
    if (!ok)
        ADD_FAILURE_AT(where.file, where.line)
            << "window rectangle (left, top, width, height)\n  expected: " << left << ", " << top
            << ", " << width << ", " << height << "\n  found:    " << rect.left << ", " << rect.top
            << ", " << rect.right - rect.left << ", " << rect.bottom - rect.top;
}

void ExpectGone(HWND window, Where where) {
    if (!WaitUntil([&] { return !IsWindow(window); }))
        ADD_FAILURE_AT(where.file, where.line)
            << "the window " << Escaped(Text(window)) << " is still there";
}

// ---- Scenarios

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

const char Scenario::kBrowserInScratch[] = "Program Files\\rec browser.exe";

Scenario::Scenario() = default;
Scenario::~Scenario() = default;

void Scenario::SetUp() {
    boxes_.reset(new BoxWatcher());
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::replace(name.begin(), name.end(), '/', '_');
    std::string folder = ProgramFolder() + "\\e2e-scratch";
    CreateDirectoryA(folder.c_str(), nullptr);
    scratch_ = folder + "\\" + name;
    DeleteTree(scratch_);
    ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr))
        << "could not make the scratch folder " << scratch_ << ": " << LastErrorText();
    CleanRegistry();
}

void Scenario::TearDown() {
    // The watcher takes a last look before the program goes.
    std::vector<Box> unchecked;
    if (boxes_) {
        boxes_->Stop();
        unchecked = boxes_->TakeNew();
    }
    EndProgram();
    if (!unchecked.empty())
        ADD_FAILURE() << "message boxes that no check expected:" << Describe(unchecked);
    boxes_.reset();
    CleanRegistry();
}

void Scenario::CleanRegistry() {
    UndoRegistryChanges();
    // What the program reads and writes, so that every scenario starts from the same registry.
    DeleteRegKey(HKEY_CLASSES_ROOT, kHttpDefaultIcon);
    DeleteRegKey(HKEY_LOCAL_MACHINE, kIePath);
    DeleteRegKey(HKEY_LOCAL_MACHINE, kNetscapePath);
    for (const char* name : {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"})
        DeleteRegValue(HKEY_CURRENT_USER, kInternetSettings, name);
    DeleteRegKey(HKEY_CURRENT_USER, kRemoteAccess);
}

std::string Scenario::InScratch(const std::string& name) const {
    return scratch_ + "\\" + name;
}

void Scenario::PutFile(const std::string& name, const std::string& bytes) {
    std::string path = InScratch(name);
    MakeFolders(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "could not write " << path << ": " << LastErrorText();
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    ASSERT_TRUE(ok && written == bytes.size()) << "could not write " << path;
}

std::string Scenario::FileBytes(const std::string& name) const {
    HANDLE file = CreateFileA(InScratch(name).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool Scenario::FileExists(const std::string& name) const {
    return GetFileAttributesA(InScratch(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Scenario::RemoveFile(const std::string& name) {
    DeleteFileA(InScratch(name).c_str());
}

void Scenario::ExpectFile(const std::string& name, const std::string& bytes, Where where) {
    std::string found;
    bool exists = false;
    bool ok = WaitUntil([&] {
        exists = FileExists(name);
        found = FileBytes(name);
        return exists && found == bytes;
    });
    if (!ok)
        ADD_FAILURE_AT(where.file, where.line)
            << name << "\n  expected: " << Escaped(bytes)
            << "\n  found:    " << (exists ? Escaped(found) : "no file");
}

void Scenario::ExpectNoFile(const std::string& name, Where where) {
    if (!WaitUntil([&] { return !FileExists(name); }))
        ADD_FAILURE_AT(where.file, where.line)
            << name << "\n  expected: no file\n  found:    " << Escaped(FileBytes(name));
}

void Scenario::TypicalStart() {
    PutFile("tarsel.ini", PositionFile(103, 124));
    PutFile("tarsel.inf", StartFile("0"));
    PutFile("urls.txt", ListFile(kTypicalLocations));
    PutFile("dial.inf", DialFile(true));
    PutFile("disc.inf", DiscFile(true, "10"));
    std::string browser = InstallBrowser();
    SetRegString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", "C:\\WINDOWS\\SYSTEM\\url.dll,0");
    SetRegString(HKEY_LOCAL_MACHINE, kIePath, "", browser);
    SetRegString(HKEY_LOCAL_MACHINE, kNetscapePath, "", browser);
    SetRegBinary(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDial", Le32(1));
    SetRegBinary(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDisconnect", Le32(1));
    SetRegBinary(HKEY_CURRENT_USER, kInternetSettings, "DisconnectIdleTime", Le32(10));
    SetRegString(HKEY_CURRENT_USER, kRemoteAccess, "InternetProfile", "My ISP");
}

std::string Scenario::InstallBrowser(const std::string& name) {
    std::string path = InScratch(name);
    MakeFolders(path);
    std::string recorder = ProgramFolder() + "\\recbrowser.exe";
    EXPECT_TRUE(CopyFileA(recorder.c_str(), path.c_str(), FALSE))
        << "could not copy " << recorder << " to " << path << ": " << LastErrorText();
    browserPath_ = path;
    return path;
}

std::vector<std::string> Scenario::BrowserLaunches() const {
    const std::string separator = "\x1e\n";
    std::string log = FileBytes("browser.log");
    std::vector<std::string> launches;
    for (size_t start = 0, end; (end = log.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        launches.push_back(log.substr(start, end - start));
    return launches;
}

namespace {

// How long a launch may take to be recorded: WinExec waits up to 30 s for the program it
// started, and a Wine process can take seconds to start on a loaded machine.
const DWORD kLaunchTimeoutMs = 30000;

// The running processes whose program file is called name (no folder).
int ProcessesCalled(const std::string& name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szExeFile, name.c_str()) == 0)
            ++count;
    CloseHandle(snapshot);
    return count;
}

// The launches, or for long lists their counts and the first difference.
std::string DescribeLaunches(const std::vector<std::string>& expected,
                             const std::vector<std::string>& found) {
    const size_t kListedLaunches = 4;
    if (expected.size() <= kListedLaunches && found.size() <= kListedLaunches)
        return "\n  expected: " + Join(expected) + "\n  found:    " + Join(found);
    size_t same = 0;
    while (same < expected.size() && same < found.size() && expected[same] == found[same])
        ++same;
    std::string text = "\n  expected: " + std::to_string(expected.size()) +
                       " launches\n  found:    " + std::to_string(found.size()) +
                       " launches, the first " + std::to_string(same) + " as expected";
    if (same < expected.size())
        text += "\n  expected launch " + std::to_string(same + 1) + ": " + Escaped(expected[same]);
    if (same < found.size())
        text += "\n  found launch " + std::to_string(same + 1) + ": " + Escaped(found[same]);
    return text;
}

} // namespace

void Scenario::ExpectLaunches(const std::vector<std::string>& commandLines, Where where) {
    std::vector<std::string> found;
    if (WaitUntil([&] { return (found = BrowserLaunches()) == commandLines; }, kLaunchTimeoutMs))
        return;
    // What the program and the browser were doing, to tell a lost launch from a stuck one.
    std::string browser = browserPath_.substr(browserPath_.find_last_of('\\') + 1);
    HWND window = FindProcessWindow(processId_, "dia1", std::string(), false);
    DWORD_PTR answer = 0;
    bool responds = window && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                                  kSendTimeoutMs, &answer);
    ADD_FAILURE_AT(where.file, where.line)
        << "browser launches" << DescribeLaunches(commandLines, found) << "\n  the program "
        << (Running() ? "runs" : "has ended") << ", its main window "
        << (!window    ? "is gone"
            : responds ? "responds"
                       : "does not respond")
        << "; " << ProcessesCalled(browser) << " processes of " << browser << " run";
}

void Scenario::Start(const std::string& program, const std::string& arguments, Where where) {
    if (Running()) {
        ADD_FAILURE_AT(where.file, where.line) << "the program under test is still running";
        return;
    }
    EndProgram();
    std::string path =
        program.find('\\') == std::string::npos ? ProgramFolder() + "\\" + program : program;
    std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        scratch_.c_str(), &startup, &started)) {
        ADD_FAILURE_AT(where.file, where.line)
            << "could not start " << path << ": " << LastErrorText();
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    boxes_->Watch(processId_);
}

bool Scenario::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Scenario::WaitWindow(const std::string& className, Where where) {
    HWND window = nullptr;
    if (!WaitUntil([&] {
            window = FindProcessWindow(processId_, className, std::string(), false);
            return window != nullptr;
        }))
        ADD_FAILURE_AT(where.file, where.line) << "no window of class " << Escaped(className);
    return window;
}

HWND Scenario::MainWindow(Where where) {
    if (!mainWindow_ || !IsWindow(mainWindow_))
        mainWindow_ = WaitWindow("dia1", where);
    return mainWindow_;
}

HWND Scenario::FindDialog(const std::string& caption) const {
    return FindProcessWindow(processId_, "#32770", caption, true);
}

HWND Scenario::WaitDialog(const std::string& caption, Where where) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = FindDialog(caption)) != nullptr; }))
        ADD_FAILURE_AT(where.file, where.line) << "no dialog " << Escaped(caption);
    return dialog;
}

void Scenario::Close(Where where) {
    PostClose(MainWindow(where));
}

DWORD Scenario::WaitExit(Where where) {
    DWORD code = STILL_ACTIVE;
    if (!process_) {
        ADD_FAILURE_AT(where.file, where.line) << "no program was started";
        return code;
    }
    if (WaitForSingleObject(process_, kTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE_AT(where.file, where.line) << "the program did not end";
        return code;
    }
    GetExitCodeProcess(process_, &code);
    return code;
}

void Scenario::ExpectExit(DWORD code, Where where) {
    if (!process_) {
        ADD_FAILURE_AT(where.file, where.line) << "no program was started";
        return;
    }
    if (WaitForSingleObject(process_, kTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE_AT(where.file, where.line)
            << "the program did not end (expected exit code " << code << ")";
        return;
    }
    DWORD found = STILL_ACTIVE;
    GetExitCodeProcess(process_, &found);
    if (found != code)
        ADD_FAILURE_AT(where.file, where.line)
            << "exit code\n  expected: " << code << "\n  found:    " << found << " (0x" << std::hex
            << found << ")";
}

void Scenario::ExpectRunning(Where where) {
    if (!Running())
        ADD_FAILURE_AT(where.file, where.line) << "the program has ended";
}

// Ends the program if it still runs and reports a crash.
void Scenario::EndProgram() {
    if (!process_)
        return;
    if (Running()) {
        TerminateProcess(process_, kKilledExitCode);
        WaitForSingleObject(process_, kTimeoutMs);
    } else {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        // Exception codes (0xC0000005 and the like) mean the program crashed.
        if (code >= 0xC0000000)
            ADD_FAILURE() << "the program crashed with exception code 0x" << std::hex << code;
    }
    CloseHandle(process_);
    process_ = nullptr;
    mainWindow_ = nullptr;
}

std::vector<Box> Scenario::Boxes() const {
    return boxes_->All();
}

std::vector<Box> Scenario::ExpectBoxes(const std::vector<ExpectedBox>& expected, Where where) {
    WaitUntil([&] { return boxes_->NewCount() >= expected.size(); });
    std::vector<Box> found = boxes_->TakeNew();
    bool same = found.size() == expected.size();
    for (size_t i = 0; same && i < found.size(); ++i)
        same = found[i].caption == expected[i].caption && found[i].text == expected[i].text &&
               found[i].okOnly;
    if (!same) {
        std::string wanted;
        for (const ExpectedBox& box : expected)
            wanted += "\n    {" + Escaped(box.caption) + ", " + Escaped(box.text) + "}";
        ADD_FAILURE_AT(where.file, where.line)
            << "message boxes\n  expected:" << (wanted.empty() ? " none" : wanted)
            << "\n  found:" << Describe(found);
    }
    // A scenario may index the result by the boxes it expected, found or not.
    if (found.size() < expected.size())
        found.resize(expected.size());
    return found;
}

void Scenario::ExpectNoBoxes(Where where) {
    ExpectBoxes({}, where);
}

void Scenario::HoldBoxes() {
    boxes_->Hold(true);
}

void Scenario::ReleaseBoxes() {
    boxes_->Hold(false);
}

HWND Scenario::WaitOpenBox(Where where) {
    std::vector<HWND> open;
    if (!WaitUntil([&] { return !(open = boxes_->Open()).empty(); })) {
        ADD_FAILURE_AT(where.file, where.line) << "no message box is open";
        return nullptr;
    }
    return open.front();
}

} // namespace e2e
