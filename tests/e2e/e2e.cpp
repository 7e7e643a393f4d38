// tarsel.exe under Wine, driven by messages as clicks and keys send them. Each check polls, 10 s
// (30 s for a launch, which WinExec may hold), answering message boxes with OK: each is expected.
#include "../../resources/resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <direct.h>
#include <process.h>

#include <fstream>
#include <set>

namespace {
using testing::PrintToString;
const char kSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char* const kDialUp[] = {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"};
const std::string kList = "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n";
const std::string kDialNote = "\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n";
const std::string kDiscNote =
    "\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on"
    "\r\nsecond line  = number of idle minutes before disconnect\r\n";
auto Dial = [](char on) { return on + kDialNote; };
auto Disc = [](char on, std::string minutes) { return on + ("\r\n" + minutes) + kDiscNote; };
auto Put = [](const char* file, std::string s) { std::ofstream(file, std::ios::binary) << s; };

// SendMessageW, given up after 5 s: under Wine only W messages carry texts across processes.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return LRESULT(result);
}
std::string Text(HWND window, UINT message = WM_GETTEXT, WPARAM wParam = 512) { // ASCII only
    wchar_t text[512] = {};
    Send(window, message, wParam, LPARAM(text));
    return std::string(text, text + wcslen(text));
}
// Controls first to last: text, "*" if checked, "(hidden)", "(off)" if disabled, ":" combo items.
std::string State(HWND d, int first, int last) {
    std::string state;
    for (int id = first; id <= last; ++id)
        if (HWND c = GetDlgItem(d, id)) {
            state += "|" + Text(c) + (Send(c, BM_GETCHECK) ? "*" : "") +
                     (IsWindowVisible(c) ? "" : "(hidden)") + (IsWindowEnabled(c) ? "" : "(off)");
            for (LRESULT i = 0; i < Send(c, CB_GETCOUNT); ++i)
                state += (i ? "," : ":") + Text(c, CB_GETLBTEXT, WPARAM(i));
        }
    return state.erase(0, 1);
}
void SetText(HWND control, const std::string& text) {
    Send(control, WM_SETTEXT, 0, LPARAM(std::wstring(text.begin(), text.end()).c_str()));
}
void Select(HWND combo, int item) { // and the notification the control would send its parent
    Send(combo, CB_SETCURSEL, WPARAM(item));
    Send(GetParent(combo), WM_COMMAND, GetDlgCtrlID(combo) | CBN_SELCHANGE << 16, LPARAM(combo));
}
std::vector<DWORD> DialUp() { // the registry's dial-up values: 4 bytes each, REG_BINARY
    std::vector<DWORD> v(3, 0xEEEEEEEE);
    for (DWORD i = 0, size = 4; i < 3; ++i, size = 4)
        RegGetValueA(HKEY_CURRENT_USER, kSettings, kDialUp[i], RRF_RT_REG_BINARY, 0, &v[i], &size);
    return v;
}
std::string SystemText(DWORD code) { // as the program's boxes give it
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 1024,
                   text, sizeof text, nullptr);
    return text;
}
const std::string kStartFailure = "ERROR: Failed to start the browser: ";
const char kBrowser[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
std::string File(const char* name) { // "no file" when there is none
    HANDLE file = CreateFileA(name, GENERIC_READ, 7, nullptr, OPEN_EXISTING, 0, nullptr);
    std::string bytes(1 << 20, '\0');
    DWORD got = 0;
    bool read = ReadFile(file, &bytes[0], DWORD(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return read ? bytes.substr(0, got) : "no file";
}

// Polls until x equals the value made from the rest. EXPECT_BOXES: the message boxes so far, as
// "caption: text" lines, are those checked before and these.
#define EXPECT_POLL_MS(ms, x, ...)                                                                 \
    EXPECT_TRUE(Poll(ms, [&] { return (x) == decltype(x)(__VA_ARGS__); }))                         \
        << #x << " is " << PrintToString(x) << ", not " << PrintToString(decltype(x)(__VA_ARGS__))
#define EXPECT_POLL(...) EXPECT_POLL_MS(10000, __VA_ARGS__)
#define EXPECT_BOXES(lines)                                                                        \
    checked_ += lines;                                                                             \
    EXPECT_POLL(boxes_, checked_)

class Tarsel : public ::testing::Test {
  protected:
    void SetUp() override { // a typical start's files and registry (wine-env.sh sets the rest)
        static const std::string root = _getcwd(nullptr, 0); // the scratch folders' (wine-env.sh)
        const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
        launch_ = "\"" + root + "\\rec browser.exe\" http://";
        ASSERT_TRUE(!_chdir(root.c_str()) && CreateDirectoryA(name, nullptr) && !_chdir(name));
        Put("tarsel.ini", "103\r\n124");
        Put("tarsel.inf", "0\r\n");
        Put("urls.txt", kList);
        Put("dial.inf", Dial('1'));
        Put("disc.inf", Disc('1', "10"));
        for (DWORD i = 0, value; i < 3; ++i)
            ASSERT_FALSE(RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, kDialUp[i], REG_BINARY,
                                         &(value = i < 2 ? 1 : 10), 4));
    }
    void TearDown() override {
        EXPECT_POLL(boxes_, checked_) << "\n(message boxes that no check expected)";
        EXPECT_LT(ExitCode(), 0xC0000000) << "tarsel.exe crashed";
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 10000);
    }
    // Starts tarsel.exe, again when Wine loses the start (see ExpectLaunch), and unless it is to
    // stay hidden waits for its window.
    void Start(bool shows = true, const char* exe = "..\\..\\tarsel.exe") {
        for (int i = 0;
             i < 3 && intptr_t(process_ = HANDLE(_spawnl(_P_NOWAIT, exe, exe, nullptr))) == -1;)
            ++i;
        if (shows)
            main_ = Wait(L"dia1", L"Halvorn's Tarsel");
    }
    // Under load, Wine loses about one process start in 2,000: CreateProcess fails with
    // ERROR_INTERNAL_ERROR, which WinExec gives as 11 and the program shows, or the process ends
    // before its first instruction. A launch lost so, with no other box, is pressed once more.
    void ExpectLaunch(const std::string& address) {
        const std::string before = log_, lost = kStartFailure + SystemText(11) + "\n";
        log_ += launch_ + address + "\x1e\n";
        if (!Poll(30000, [&] { return File("browser.log") != before; }) &&
            (boxes_ == checked_ || boxes_ == checked_ + lost)) {
            fprintf(stderr, "Wine lost the start of %s; \"Go\" again\n", address.c_str());
            checked_ = boxes_;
            Go();
        }
        EXPECT_POLL_MS(30000, File("browser.log"), log_);
    }
    DWORD ExitCode() {
        DWORD code = 0;
        return GetExitCodeProcess(process_, &code), code;
    }
    HWND Wait(const wchar_t* windowClass, const wchar_t* title) { // a visible window
        HWND w = nullptr;
        EXPECT_POLL(IsWindowVisible(w = FindWindowW(windowClass, title)), TRUE) << " " << title;
        return w;
    }
    // A click on "Go" as the button sends it. Under Wine, WinExec answers sent messages meanwhile.
    void Go() {
        PostMessageW(main_, WM_COMMAND, IDC_MAIN_GO, LPARAM(GetDlgItem(main_, IDC_MAIN_GO)));
    }
    // The system menu by keys: Alt+Space, Up `ups` times (About..., Edit Locations, Connection).
    HWND Menu(int ups, const wchar_t* dialog) {
        PostMessageW(main_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        Wait(L"#32768", nullptr);
        for (int key = 0; key <= ups; ++key)
            PostMessageW(main_, WM_KEYDOWN, key < ups ? VK_UP : VK_RETURN, 0);
        return Wait(L"#32770", dialog);
    }
    // Posted clicks (a box may come of one); with `ends`, the dialog must close after them.
    void Click(HWND dialog, std::initializer_list<int> buttons, bool ends = false) {
        for (int button : buttons)
            PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        EXPECT_TRUE(!ends || Poll(10000, [&] { return !IsWindow(dialog); })) << "the dialog stays";
    }
    // Edit Locations: items to delete and modify (0: none), texts (modify's, add's), OK or Cancel.
    void Edit(HWND d, int remove, int modify, const std::vector<std::string>& texts, int button) {
        Select(GetDlgItem(d, IDC_LOCATIONS_DELETE_BOX), remove);
        Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), modify);
        const int ids[] = {IDC_LOCATIONS_MODIFY_BOX, IDC_LOCATIONS_MODIFY_ADDRESS,
                           IDC_LOCATIONS_ADD_DESCRIPTION, IDC_LOCATIONS_ADD_ADDRESS};
        for (size_t i = 0; i < texts.size(); ++i)
            SetText(GetDlgItem(d, ids[i + (modify ? 0 : 2)]), texts[i]);
        Click(d, {button}, true);
    }
    template <class Holds> bool Poll(DWORD ms, Holds holds) { // once a check failed, a look only
        for (DWORD start = GetTickCount() - (HasFailure() ? ms + 1 : 0);; Sleep(20)) {
            for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));)
                if (HWND text = GetDlgItem(box, 0xFFFF)) { // a message box
                    if (seen_.insert(box).second)
                        boxes_ += Text(box) + ": " + Text(text) + "\n";
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
            if (holds() || GetTickCount() - start > ms)
                return holds();
        }
    }

    std::string launch_, log_; // the browser's command line less the address, its expected log
    HANDLE process_ = nullptr;
    HWND main_ = nullptr;
    std::set<HWND> seen_;
    std::string boxes_, checked_; // every message box, and those checked so far
};

// "tarsel.inf" names the entry launched at start: past 100, hidden, and the program ends. The
// window comes where "tarsel.ini" says, and a move rewrites it. "Go" says why a browser can't
// start: a missing program (2), a file that is no program (11).
TEST_F(Tarsel, StartFileLaunchesHiddenOrShownTheWindowKeepsItsPlaceGoSaysWhyABrowserFails) {
    Put("tarsel.inf", "102\r\n");
    Start(false);
    Poll(40000, [&] {
        return IsWindowVisible(FindWindowW(L"dia1", nullptr)) || ExitCode() != STILL_ACTIVE;
    });
    EXPECT_EQ(ExitCode(), 0u) << "the window showed, or the program did not end";
    ExpectLaunch("b/");
    Put("tarsel.inf", "103\r\n"); // no third entry: no launch either
    Start(false);
    EXPECT_POLL(ExitCode(), 0);
    Put("tarsel.inf", "2\r\n");
    Start();
    ExpectLaunch("b/");
    EXPECT_POLL(State(main_, IDC_MAIN_PICKER, IDC_MAIN_PICKER), "Two:One,Two");
    Select(GetDlgItem(main_, IDC_MAIN_PICKER), 0);
    const std::string paths[] = {"C:\\gone\\iexplore.exe", "dial.inf", // no program
                                 launch_.substr(1, launch_.rfind('"') - 1)};
    for (int i = 0; i < 3; ++i) {
        RegSetKeyValueA(HKEY_LOCAL_MACHINE, kBrowser, nullptr, REG_SZ, paths[i].c_str(),
                        DWORD(paths[i].size() + 1));
        Go();
        EXPECT_BOXES(i < 2 ? kStartFailure + SystemText(i ? 11 : 2) + "\n" : "");
    }
    ExpectLaunch("a/");
}

TEST_F(Tarsel, ConfigureAndEditLocationsShowTheFilesCancelKeepsThemOkWritesThemGoCarriesThem) {
    Put("disc.inf", Disc('0', "20"));
    const std::string list = "2\nOne\nhttp://a/\n\nhttp://b/\n"; // the second unnamed, bare LFs
    Put("urls.txt", list);
    Start();
    RECT r = {};
    GetWindowRect(main_, &r);
    EXPECT_EQ(std::vector<LONG>(&r.left, &r.left + 4), std::vector<LONG>({100, 100, 466, 180}));
    SetWindowPos(main_, nullptr, 250, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT client = {0, 0};
    ClientToScreen(main_, &client);
    EXPECT_POLL(File("tarsel.ini"), std::to_string(client.x) + "\r\n" + std::to_string(client.y));
    HWND about = Menu(1, L"About..."); // the system menu's, with the main window disabled
    EXPECT_POLL(Text(GetDlgItem(about, IDC_ABOUT_TITLE)), "Halvorn's Tarsel");
    EXPECT_POLL(IsWindowEnabled(main_), FALSE);
    Click(about, {IDC_ABOUT_OK}, true);
    HWND d = Menu(3, L"Configure");
    EXPECT_POLL(State(d, IDC_CONFIG_DIAL_ENABLE, IDC_CONFIG_IDLE_MINUTES),
                "Enable*|Disable|Enable|Disable*|20(hidden)");
    Click(d, {IDC_CONFIG_DIAL_DISABLE, IDC_CONFIG_DISCONNECT_ENABLE, IDC_CONFIG_CANCEL}, true);
    EXPECT_POLL(File("dial.inf") + File("disc.inf"), Dial('1') + Disc('0', "20"));
    d = Menu(3, L"Configure"); // what Cancel left in the dialog lasts until the next "Go"
    EXPECT_POLL(State(d, IDC_CONFIG_DIAL_ENABLE, IDC_CONFIG_IDLE_MINUTES),
                "Enable|Disable*|Enable*|Disable|20");
    for (int code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_ENDSCROLL}) // the spin steps them
        Send(d, WM_VSCROLL, code, LPARAM(GetDlgItem(d, IDC_CONFIG_IDLE_SPIN)));
    EXPECT_POLL(Text(GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES)), "19");
    SetText(GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES), "30"); // and OK takes typed ones
    // OK sent from another thread while "dial.inf" can't be written: the dialog is gone before the
    // box. Then it opens again, and its OK writes.
    HANDLE lock = CreateFileA("dial.inf", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    Send(d, WM_COMMAND, IDC_CONFIG_OK, LPARAM(GetDlgItem(d, IDC_CONFIG_OK)));
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - write\n");
    EXPECT_POLL(IsWindow(d), FALSE);
    CloseHandle(lock);
    Click(Menu(3, L"Configure"), {IDC_CONFIG_OK}, true);
    EXPECT_POLL(File("dial.inf") + File("disc.inf"), Dial('0') + Disc('1', "30"));
    Go();
    ExpectLaunch("a/");
    EXPECT_POLL(DialUp(), {0, 1, 30});
    d = Menu(2, L"Edit Locations");
    EXPECT_POLL(
        State(d, IDC_LOCATIONS_ADD_DESCRIPTION, IDC_LOCATIONS_MODIFY_ADDRESS),
        "|http://"
        "|Description|Delete|<Nothing>:<Nothing>,One,|Modify|<Nothing>:<Nothing>,One,|(off)");
    Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), 2);
    EXPECT_POLL(State(d, IDC_LOCATIONS_MODIFY_ADDRESS, IDC_LOCATIONS_MODIFY_ADDRESS), "http://b/");
    Click(d, {IDC_LOCATIONS_OK}, true); // an entry chosen for modify, left as it was
    const std::vector<std::string> edits = {"Zwei", "http://z/", "New", "http://n/"};
    Edit(Menu(2, L"Edit Locations"), 1, 2, edits, IDC_LOCATIONS_CANCEL);
    d = Menu(2, L"Edit Locations"); // opens once that OK and Cancel have done all their work
    EXPECT_POLL(File("urls.txt"), list);
    Edit(d, 1, 2, edits, IDC_LOCATIONS_OK);
    // The reload comes last: under Wine a reader of "urls.txt" would make its replacement fail.
    EXPECT_POLL(State(main_, IDC_MAIN_PICKER, IDC_MAIN_PICKER), "New:New,Zwei");
    EXPECT_POLL(File("urls.txt"), "2\r\nNew\r\nhttp://n/\r\nZwei\r\nhttp://z/\r\n");
}

// A start in an empty folder, and "Go" there, say which files are missing; a list of over 99
// entries ends the program. The release archive, unpacked before the run, starts with no box and
// the window where its "tarsel.ini" puts it.
TEST_F(Tarsel, MessageBoxesOfAnEmptyFolderAndAFullListNoneOfTheReleaseArchive) {
    ASSERT_TRUE(CreateDirectoryA("empty", nullptr) && SetCurrentDirectoryA("empty"));
    Start(true, "..\\..\\..\\tarsel.exe");
    EXPECT_BOXES("Halvorn: Failed to open TARSEL.INI\nHalvorn: Failed to open tarsel.inf\n"
                 "Halvorn: Failed to open URLS.TXT\n");
    Go();
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - read\n");
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_POLL(ExitCode(), 0);
    Put("urls.txt", "100" + std::string(201, '\n')); // entries of empty lines
    Start(false, "..\\..\\..\\tarsel.exe");
    EXPECT_BOXES("Halvorn: Failed to open TARSEL.INI\nHalvorn: Failed to open tarsel.inf\n"
                 "Maximum Locations: Location limit is 99.\n");
    EXPECT_POLL(ExitCode(), 0);
    ASSERT_FALSE(_chdir("..\\..\\..\\release\\" TARSEL_RELEASE));
    Start(true, "tarsel.exe");
    RECT r = {};
    EXPECT_TRUE(GetWindowRect(main_, &r) && r.left == 50 && r.top == 27) << r.left << " " << r.top;
}

// Rounds of editing, configuring and "Go" end as the last left them, with no more handles (Wine's
// system table counts them; its WaitForInputIdle leaks one per launch) or top-level windows.
using Soak = Tarsel;

TEST_F(Soak, RoundsOfEditingConfiguringAndGoLeaveExactFilesAndNoGrowth) {
    const int rounds =
        std::getenv("TARSEL_SOAK_ROUNDS") ? std::atoi(std::getenv("TARSEL_SOAK_ROUNDS")) : 25;
    Start();
    auto counts = [id = GetProcessId(process_)] {      // handles, and top-level windows
        std::vector<ULONG> table(1 << 22), n = {0, 0}; // a count, then 24-byte entries, owner first
        DWORD owner = 0;
        NtQuerySystemInformation(SystemHandleInformation, table.data(), 1 << 24, nullptr);
        for (ULONG i = 0; i < table[0]; ++i)
            n[0] += table[2 + 6 * i] == id;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));)
            n[1] += GetWindowThreadProcessId(w, &owner) && owner == id;
        return n;
    };
    std::vector<ULONG> first, last(2);
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        Edit(Menu(2, L"Edit Locations"), 0, 0, {"Soak", "http://soak/"}, IDC_LOCATIONS_OK);
        Edit(Menu(2, L"Edit Locations"), 1, 0, {}, IDC_LOCATIONS_OK);
        Click(Menu(3, L"Configure"),
              {round % 2 ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE, IDC_CONFIG_OK}, true);
        Go();
        ExpectLaunch("a/");
        EXPECT_POLL(DialUp(), {DWORD(round % 2), 1, 10});
        (round ? last : first) = counts();
    }
    ASSERT_FALSE(HasFailure());
    EXPECT_POLL(File("urls.txt") + File("urls.tmp") + File("dial.inf") + File("disc.inf"),
                kList + "no file" + Dial(rounds % 2 ? '0' : '1') + Disc('1', "10"));
    fprintf(stderr, "counts %lu %lu -> %lu %lu\n", first[0], first[1], last[0], last[1]);
    EXPECT_LE(last[0], first[0] + 8 + rounds) << "handles";
    EXPECT_LE(last[1], first[1]) << "top-level windows";
}

} // namespace
