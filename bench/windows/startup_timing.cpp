// Times tarsel.exe under Wine (or Windows) beside baselines measured in the same run, the runs of
// the two kinds taking turns so that a change in the machine's load hits both alike:
//
//   start-up  from CreateProcess of tarsel.exe until its main window is visible with the picker
//             holding all 99 entries of the list, beside baseline_window.exe (a window of the
//             same template, shown) until its window is visible;
//   launch    from posting "Go" to tarsel.exe's main window until the recording browser has
//             appended to browser.log, beside starting the same recording browser with
//             CreateProcess until it has appended.
//
//   tarsel_timing.exe [RUNS]    (default 15 runs of each kind, after one unmeasured run each)
//
// The programs sit beside this one. It works in a folder "bench-scratch" beside them, holding
// the program's five files and the recording browser, and sets the registry as a quiet start
// needs it (the default browser's registration, Internet Explorer's path naming the recording
// browser, dial-up switches that agree with the files, a dial-up profile); it deletes those keys
// and values again at the end. The last lines are "RESULT startup_ratio <r>" and
// "RESULT launch_ratio <r>": the median over the runs of tarsel's time divided by the baseline's
// time of the same turn.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kDefaultRuns = 15;
const int kEntries = 99;
const DWORD kTimeoutMs = 10000;
// Main window ("dia1"): the picker and the "Go" command.
const int kPickerId = 101;
const int kGoCommand = 998;

const char kHttpDefaultIcon[] = "HTTP\\DefaultIcon";
const char kIePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kInternetSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kRemoteAccess[] = "RemoteAccess";

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "tarsel_timing: %s\n", what.c_str());
    std::exit(1);
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Polls condition every millisecond until it holds; fails after kTimeoutMs.
void WaitFor(const std::function<bool()>& condition, const std::string& what) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kTimeoutMs)
            Fail("timed out waiting for " + what);
        Sleep(1);
    }
}

// ---- The scratch folder and the registry

void PutFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (!ok)
        Fail("could not write " + path);
}

long long FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string NinetyNineEntries() {
    std::string list = std::to_string(kEntries) + "\r\n";
    for (int i = 1; i <= kEntries; ++i)
        list += "Site number " + std::to_string(i) + "\r\nhttp://www.site" + std::to_string(i) +
                ".example.com/index.html\r\n";
    return list;
}

// The five files, as a quiet start with the list at its largest needs them.
void PrepareFolder(const std::string& folder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    PutFile(folder + "\\tarsel.ini", "103\r\n124");
    PutFile(folder + "\\tarsel.inf", "0\r\n");
    PutFile(folder + "\\urls.txt", NinetyNineEntries());
    PutFile(folder + "\\dial.inf",
            "1\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n");
    PutFile(folder + "\\disc.inf",
            "1\r\n10\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on\r\n"
            "second line  = number of idle minutes before disconnect\r\n");
    DeleteFileA((folder + "\\browser.log").c_str());
}

void SetValue(HKEY root, const char* key, const char* name, DWORD type, const void* data,
              DWORD size) {
    if (RegSetKeyValueA(root, key, name, type, data, size) != ERROR_SUCCESS)
        Fail(std::string("could not set ") + key + " " + name);
}

void SetString(HKEY root, const char* key, const char* name, const std::string& text) {
    SetValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

void SetSwitch(const char* name, DWORD value) {
    BYTE bytes[4] = {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8),
                     static_cast<BYTE>(value >> 16), static_cast<BYTE>(value >> 24)};
    SetValue(HKEY_CURRENT_USER, kInternetSettings, name, REG_BINARY, bytes, 4);
}

void PrepareRegistry(const std::string& browser) {
    SetString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", "C:\\WINDOWS\\SYSTEM\\url.dll,0");
    SetString(HKEY_LOCAL_MACHINE, kIePath, "", browser);
    SetSwitch("EnableAutoDial", 1);
    SetSwitch("EnableAutoDisconnect", 1);
    SetSwitch("DisconnectIdleTime", 10);
    SetString(HKEY_CURRENT_USER, kRemoteAccess, "InternetProfile", "My ISP");
}

void CleanRegistry() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kHttpDefaultIcon);
    RegDeleteKeyA(HKEY_CLASSES_ROOT, kHttpDefaultIcon);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kIePath);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kIePath);
    for (const char* name : {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"})
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kInternetSettings, name);
    RegDeleteTreeA(HKEY_CURRENT_USER, kRemoteAccess);
    RegDeleteKeyA(HKEY_CURRENT_USER, kRemoteAccess);
}

// ---- Processes and windows

struct Started {
    HANDLE process = nullptr;
    DWORD processId = 0;
};

Started StartProgram(const std::string& path, const std::string& arguments,
                     const std::string& folder) {
    std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &info))
        Fail("could not start " + path + ": error " + std::to_string(GetLastError()));
    CloseHandle(info.hThread);
    return {info.hProcess, info.dwProcessId};
}

struct WindowSearch {
    DWORD processId;
    HWND main;
    HWND dialog; // a message box or dialog: the start was not quiet
};

BOOL CALLBACK FindWindows(HWND window, LPARAM data) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId)
        return TRUE;
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "dia1") == 0)
        search.main = window;
    else if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window))
        search.dialog = window;
    return TRUE;
}

std::string TextOf(HWND window) {
    wchar_t text[512] = {};
    InternalGetWindowText(window, text, 512);
    HWND message = GetDlgItem(window, 0xFFFF);
    wchar_t body[512] = {};
    if (message)
        SendMessageTimeoutW(message, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(body),
                            SMTO_ABORTIFHUNG, 1000, nullptr);
    char utf8[2048] = {};
    std::wstring both = std::wstring(text) + L": " + body;
    WideCharToMultiByte(CP_UTF8, 0, both.c_str(), -1, utf8, sizeof utf8 - 1, nullptr, nullptr);
    return utf8;
}

// The program's main window once it is visible and, when items > 0, its picker holds that many
// items. Fails at once when the program shows a box instead.
HWND WaitMainWindow(DWORD processId, int items, const std::string& program) {
    HWND main = nullptr;
    WaitFor(
        [&] {
            WindowSearch search = {processId, nullptr, nullptr};
            EnumWindows(FindWindows, reinterpret_cast<LPARAM>(&search));
            if (search.dialog)
                Fail(program + " showed a box: " + TextOf(search.dialog));
            if (!search.main || !IsWindowVisible(search.main))
                return false;
            main = search.main;
            if (items <= 0)
                return true;
            DWORD_PTR count = 0;
            return SendMessageTimeoutW(GetDlgItem(main, kPickerId), CB_GETCOUNT, 0, 0,
                                       SMTO_ABORTIFHUNG, 1000, &count) &&
                   static_cast<int>(count) == items;
        },
        program + "'s main window");
    return main;
}

void CloseProgram(const Started& started, HWND main, const std::string& program) {
    PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.process, kTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(started.process, 1);
        Fail(program + " did not end");
    }
    DWORD code = 1;
    GetExitCodeProcess(started.process, &code);
    CloseHandle(started.process);
    if (code != 0)
        Fail(program + " ended with exit code " + std::to_string(code));
}

// ---- The measurements

// Start to visible (and filled, for items > 0), then closed again.
double TimeStart(const std::string& path, int items, const std::string& folder) {
    // Every start from the same place: each moves the window and saves where it went, and under
    // Wine that is a little off the place it read.
    PutFile(folder + "\\tarsel.ini", "103\r\n124");
    double start = NowMs();
    Started started = StartProgram(path, "", folder);
    HWND main = WaitMainWindow(started.processId, items, path);
    double took = NowMs() - start;
    CloseProgram(started, main, path);
    return took;
}

// Waits until the recording browser has appended to the log and the log is free again.
double WaitLogGrown(const std::string& log, long long before, double start) {
    WaitFor([&] { return FileSize(log) > before; }, "the recording browser's log");
    double took = NowMs() - start;
    // The browser holds the log without sharing while it writes; the next turn starts after it.
    WaitFor(
        [&] {
            HANDLE file = CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (file == INVALID_HANDLE_VALUE)
                return false;
            CloseHandle(file);
            return true;
        },
        "the log to be free");
    return took;
}

double TimeGo(HWND main, const std::string& log) {
    long long before = FileSize(log);
    double start = NowMs();
    PostMessageA(main, WM_COMMAND, kGoCommand, 0);
    double took = WaitLogGrown(log, before, start);
    // The launch has returned once the window answers again.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored);
    return took;
}

double TimeDirectLaunch(const std::string& browser, const std::string& log,
                        const std::string& folder) {
    long long before = FileSize(log);
    double start = NowMs();
    Started started = StartProgram(browser, "http://www.site1.example.com/index.html", folder);
    double took = WaitLogGrown(log, before, start);
    WaitForSingleObject(started.process, kTimeoutMs);
    CloseHandle(started.process);
    return took;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Series {
    std::vector<double> program;
    std::vector<double> baseline;
};

void Report(const char* what, const char* programName, const char* baselineName, const char* key,
            const Series& series) {
    std::vector<double> ratios;
    for (size_t i = 0; i < series.program.size(); ++i)
        ratios.push_back(series.program[i] / series.baseline[i]);
    std::printf("%s: %s median %.1f ms, %s median %.1f ms; median ratio %.2f over %zu runs "
                "each (ratios %.2f to %.2f)\n",
                what, programName, Median(series.program), baselineName, Median(series.baseline),
                Median(ratios), ratios.size(), *std::min_element(ratios.begin(), ratios.end()),
                *std::max_element(ratios.begin(), ratios.end()));
    std::printf("RESULT %s %.3f\n", key, Median(ratios));
}

// Runs one unmeasured turn of each, then runs turns of the two, the first of each pair
// alternating, and gives the times.
Series Interleaved(int runs, const char* what, const std::function<double()>& program,
                   const std::function<double()>& baseline) {
    program();
    baseline();
    Series series;
    for (int i = 0; i < runs; ++i) {
        double p, b;
        if (i % 2 == 0) {
            p = program();
            b = baseline();
        } else {
            b = baseline();
            p = program();
        }
        series.program.push_back(p);
        series.baseline.push_back(b);
        std::printf("%s run %2d: %8.1f ms  baseline %8.1f ms\n", what, i + 1, p, b);
        std::fflush(stdout);
    }
    return series;
}

} // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : kDefaultRuns;
    if (runs < 1)
        Fail("the number of runs must be at least 1");
    std::setvbuf(stdout, nullptr, _IOLBF, 0);

    const std::string programs = ProgramFolder();
    const std::string tarsel = programs + "\\tarsel.exe";
    const std::string baselineWindow = programs + "\\baseline_window.exe";
    const std::string folder = programs + "\\bench-scratch";
    const std::string browser = folder + "\\recbrowser.exe";
    const std::string log = folder + "\\browser.log";

    PrepareFolder(folder);
    if (!CopyFileA((programs + "\\tarsel_e2e.exe").c_str(), browser.c_str(), FALSE))
        Fail("could not copy tarsel_e2e.exe into " + folder);
    CleanRegistry();
    PrepareRegistry(browser);

    Series startup = Interleaved(
        runs, "start-up", [&] { return TimeStart(tarsel, kEntries, folder); },
        [&] { return TimeStart(baselineWindow, 0, folder); });

    Started running = StartProgram(tarsel, "", folder);
    HWND main = WaitMainWindow(running.processId, kEntries, tarsel);
    Series launch = Interleaved(
        runs, "launch", [&] { return TimeGo(main, log); },
        [&] { return TimeDirectLaunch(browser, log, folder); });
    CloseProgram(running, main, tarsel);

    CleanRegistry();
    Report("start-up (99 entries)", "tarsel.exe", "baseline_window.exe", "startup_ratio", startup);
    Report("launch", "Go", "CreateProcess", "launch_ratio", launch);
    return 0;
}
