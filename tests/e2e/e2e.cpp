// tarsel.exe under Wine, driven by W messages: only they carry texts across Wine's processes. Its
// copy "rec browser.exe" is the default browser: it records its command line (see main).
#include "../../resources/resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <process.h>

#include <fstream>

const char kSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char* const kDialUp[] = {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"};
const char kBrowserKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kBrowser[] = TARSEL_SCRATCH "\\rec browser.exe"; // the default one (wine-env.sh)
const std::string kDialNote = "\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n";
const char kDiscNote[] = "\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on"
                         "\r\nsecond line  = number of idle minutes before disconnect\r\n";
auto Dial = [](char on) { return on + kDialNote; };
auto Disc = [](char on, std::string minutes) { return on + ("\r\n" + minutes) + kDiscNote; };
auto Put = [](const char* file, std::string s) { std::ofstream(file, std::ios::binary) << s; };
std::string File(const char* name) { // "no file" when there is none
    std::ifstream file(name, std::ios::binary);
    return file ? std::string(std::istreambuf_iterator<char>(file), {}) : "no file";
}

// "Go" pressed: its command, posted. Under Wine, WinExec answers sent messages meanwhile.
auto Go = [](HWND main) { PostMessageW(main, WM_COMMAND, IDC_MAIN_GO, 0); };
auto Send = [](HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(w, m, wp, lp); };
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
std::string StartFailure(DWORD code) { // the box's text, with the system's as the program gets it
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 1024, text, sizeof text, nullptr);
    return "ERROR: Failed to start the browser: " + std::string(text) + "\n";
}

// Polls, answering message boxes, till x equals the rest (30 s at most: WinExec may wait so long).
#define EXPECT_POLL(x, ...)                                                                        \
    Poll(30000, [&] { return (x) == decltype(x)(__VA_ARGS__); });                                  \
    EXPECT_EQ(x, decltype(x)(__VA_ARGS__))
#define EXPECT_BOXES(lines)                                                                        \
    checked_ += lines;                                                                             \
    EXPECT_POLL(boxes_, checked_)

struct Tarsel : ::testing::Test {
    void SetUp() override { // a typical start's files, in a folder of the test's own
        const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(SetCurrentDirectoryA(TARSEL_SCRATCH) && CreateDirectoryA(name, nullptr) &&
                    SetCurrentDirectoryA(name));
        Put("tarsel.ini", "103\r\n124");
        Put("tarsel.inf", "0\r\n");
        Put("urls.txt", "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n");
        Put("dial.inf", Dial('1'));
        Put("disc.inf", Disc('1', "10"));
    }
    void TearDown() override {
        EXPECT_POLL(boxes_, checked_) << "\n(message boxes that no check expected)";
        EXPECT_LT(ExitCode(), 0xC0000000) << "tarsel.exe crashed";
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 10000);
    }
    void Start(const char* exe = "..\\..\\tarsel.exe") { // till it shows or ends; again if lost
        for (int i = 0;
             i < 3 && intptr_t(process_ = HANDLE(_spawnl(_P_NOWAIT, exe, exe, nullptr))) == -1;)
            ++i;
        Poll(40000, [&] {
            main_ = FindWindowW(L"dia1", L"Halvorn's Tarsel");
            return IsWindowVisible(main_) || ExitCode() != STILL_ACTIVE;
        });
    }
    // Wine 8 under load loses about one process start in 2,000 (WinExec gives 11, or the process
    // dies before its first instruction). A launch lost so, with no other box, is pressed again.
    void ExpectLaunch(const std::string& address) {
        const std::string before = log_, lost = StartFailure(11);
        log_ += "\"" + (kBrowser + ("\" http://" + address)) + "\x1e\n";
        if (!Poll(30000, [&] { return File("browser.log") != before; }) &&
            (boxes_ == checked_ || boxes_ == checked_ + lost)) {
            checked_ = boxes_;
            Go(main_);
        }
        EXPECT_POLL(File("browser.log"), log_);
    }
    DWORD ExitCode() {
        DWORD code = 0;
        return GetExitCodeProcess(process_, &code), code;
    }
    HWND Menu(int ups, const wchar_t* dialog) { // the system menu by keys: Alt+Space, Up ups times
        PostMessageW(main_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_POLL(IsWindowVisible(FindWindowW(L"#32768", nullptr)), TRUE) << "no menu";
        for (int key = 0; key <= ups; ++key)
            PostMessageW(main_, WM_KEYDOWN, key < ups ? VK_UP : VK_RETURN, 0);
        EXPECT_POLL(IsWindowVisible(FindWindowW(L"#32770", dialog)), TRUE) << dialog;
        return FindWindowW(L"#32770", dialog);
    }
    void Click(HWND dialog, std::initializer_list<int> buttons) { // posted; the dialog must end
        for (int button : buttons)
            PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        EXPECT_POLL(IsWindow(dialog), FALSE) << "the dialog stays";
    }
    // Edit Locations: items to delete and modify (0: none), texts (modify's, add's), OK or Cancel.
    void Edit(HWND d, int remove, int modify, std::vector<const wchar_t*> texts, int button) {
        Select(GetDlgItem(d, IDC_LOCATIONS_DELETE_BOX), remove);
        Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), modify);
        const int ids[] = {IDC_LOCATIONS_MODIFY_BOX, IDC_LOCATIONS_MODIFY_ADDRESS,
                           IDC_LOCATIONS_ADD_DESCRIPTION, IDC_LOCATIONS_ADD_ADDRESS};
        for (size_t i = 0; i < texts.size(); ++i)
            Send(GetDlgItem(d, ids[i + (modify ? 0 : 2)]), WM_SETTEXT, 0, LPARAM(texts[i]));
        Click(d, {button});
    }
    template <class Holds> bool Poll(DWORD ms, Holds holds) { // once a check failed, a look only
        for (DWORD start = GetTickCount() - (HasFailure() ? ms + 1 : 0);; Sleep(20)) {
            for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", nullptr));)
                if (HWND text = GetDlgItem(box, 0xFFFF); text && box != box_) { // a new message box
                    boxes_ += Text(box_ = box) + ": " + Text(text) + "\n";
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
            if (holds() || GetTickCount() - start > ms)
                return holds();
        }
    }

    std::string log_, boxes_, checked_; // the browser's log, as expected; every box; those checked
    HANDLE process_ = nullptr;
    HWND main_ = nullptr, box_ = nullptr; // the main window, the last message box (may linger)
};

// "tarsel.inf" names an entry launched at start (past 100: hidden, then the program ends).
TEST_F(Tarsel, StartsLaunchOrEndAndTheirBoxesSayWhatFailsTheReleaseArchiveShowsNone) {
    for (std::string start : {"102", "103", "2"}) { // 103: no third entry; 2 shows the window
        Put("tarsel.inf", start + "\r\n");
        Start();
        EXPECT_EQ(ExitCode(), start == "2" ? STILL_ACTIVE : 0) << "the program ended, or did not";
        if (start != "103")
            ExpectLaunch("b/");
    }
    EXPECT_POLL(State(main_, IDC_MAIN_PICKER, IDC_MAIN_PICKER), "Two:One,Two");
    Select(GetDlgItem(main_, IDC_MAIN_PICKER), 0);
    const char* const paths[] = {"C:\\gone\\iexplore.exe", "dial.inf", kBrowser};
    for (int i = 0; i < 3; ++i) { // a missing program, a file that is no program, the browser
        RegSetValueA(HKEY_LOCAL_MACHINE, kBrowserKey, REG_SZ, paths[i], 0);
        Go(main_);
        EXPECT_BOXES(i < 2 ? StartFailure(i ? 11 : 2) : "");
    }
    ExpectLaunch("a/");
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_POLL(ExitCode(), 0);
    Put("urls.txt", "100" + std::string(201, '\n')); // entries of empty lines
    Start();
    EXPECT_BOXES("Maximum Locations: Location limit is 99.\n");
    EXPECT_POLL(ExitCode(), 0);
    ASSERT_TRUE(CreateDirectoryA("empty", nullptr) && SetCurrentDirectoryA("empty"));
    Start("..\\..\\..\\tarsel.exe");
    EXPECT_BOXES("Halvorn: Failed to open TARSEL.INI\nHalvorn: Failed to open tarsel.inf\n"
                 "Halvorn: Failed to open URLS.TXT\n");
    Go(main_);
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - read\n");
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_POLL(ExitCode(), 0);
    ASSERT_TRUE(SetCurrentDirectoryA("..\\..\\..\\release\\" TARSEL_RELEASE));
    Start("tarsel.exe");
    RECT r = {};
    EXPECT_TRUE(GetWindowRect(main_, &r) && r.left == 50 && r.top == 27) << r.left << " " << r.top;
}

// The window's place and the dialogs' files: shown, kept by Cancel, written by OK, used by "Go";
// then rounds of them and "Go" (TARSEL_SOAK_ROUNDS, 25 unless set) leave the files and no growth.
TEST_F(Tarsel, WindowAboutConfigureAndEditLocationsShowKeepAndWriteTheFilesAndRoundsGrowNothing) {
    Put("disc.inf", Disc('0', "20"));
    Start();
    RECT r = {};
    GetWindowRect(main_, &r);
    EXPECT_EQ(std::vector<LONG>(&r.left, &r.left + 4), std::vector<LONG>({100, 100, 466, 180}));
    SetWindowPos(main_, nullptr, 250, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT client = {0, 0}; // its corner, as the file holds it
    ClientToScreen(main_, &client);
    EXPECT_POLL(File("tarsel.ini"), std::to_string(client.x) + "\r\n" + std::to_string(client.y));
    HWND d = Menu(1, L"About..."); // with the main window disabled
    EXPECT_POLL(Text(GetDlgItem(d, IDC_ABOUT_TITLE)), "Halvorn's Tarsel");
    EXPECT_POLL(IsWindowEnabled(main_), FALSE);
    Click(d, {IDC_ABOUT_OK});
    auto config = [&] { return State(d, IDC_CONFIG_DIAL_ENABLE, IDC_CONFIG_IDLE_MINUTES); };
    d = Menu(3, L"Configure");
    EXPECT_POLL(config(), "Enable*|Disable|Enable|Disable*|20(hidden)");
    Click(d, {IDC_CONFIG_DIAL_DISABLE, IDC_CONFIG_DISCONNECT_ENABLE, IDC_CONFIG_CANCEL});
    d = Menu(3, L"Configure"); // what Cancel left in the dialog lasts until the next "Go"
    EXPECT_POLL(File("dial.inf") + File("disc.inf"), Dial('1') + Disc('0', "20"));
    EXPECT_POLL(config(), "Enable|Disable*|Enable*|Disable|20");
    for (int code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_ENDSCROLL}) // the spin steps them
        Send(d, WM_VSCROLL, code, LPARAM(GetDlgItem(d, IDC_CONFIG_IDLE_SPIN)));
    EXPECT_POLL(Text(GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES)), "19");
    Send(GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES), WM_SETTEXT, 0, LPARAM(L"30")); // OK takes it
    // OK sent into a locked "dial.inf": the dialog ends, then the box comes (not from within: 5 s).
    HANDLE lock = CreateFileA("dial.inf", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SendMessageTimeoutW(d, WM_COMMAND, IDC_CONFIG_OK, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - write\n");
    CloseHandle(lock);
    Click(Menu(3, L"Configure"), {IDC_CONFIG_OK});
    EXPECT_POLL(File("dial.inf") + File("disc.inf"), Dial('0') + Disc('1', "30")); // "Go": rounds
    Put("urls.txt", "2\nOne\nhttp://a/\n\nhttp://b/\n"); // the second unnamed, bare LFs
    d = Menu(2, L"Edit Locations");
    EXPECT_POLL(State(d, IDC_LOCATIONS_ADD_DESCRIPTION, IDC_LOCATIONS_MODIFY_ADDRESS),
                "|http://|Description|Delete|<Nothing>:<Nothing>,One,"
                "|Modify|<Nothing>:<Nothing>,One,|(off)");
    Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), 2);
    EXPECT_POLL(State(d, IDC_LOCATIONS_MODIFY_ADDRESS, IDC_LOCATIONS_MODIFY_ADDRESS), "http://b/");
    Click(d, {IDC_LOCATIONS_OK}); // an entry chosen for modify, left as it was
    const std::vector<const wchar_t*> edits = {L"Zwei", L"http://b/", L"New", L"http://n/"};
    Edit(Menu(2, L"Edit Locations"), 1, 2, edits, IDC_LOCATIONS_CANCEL);
    d = Menu(2, L"Edit Locations"); // opens once that OK and Cancel have done all their work
    EXPECT_POLL(File("urls.txt"), "2\nOne\nhttp://a/\n\nhttp://b/\n"); // byte for byte
    Edit(d, 1, 2, edits, IDC_LOCATIONS_OK); // the entry modified in its description alone
    // The reload comes last: under Wine a reader of "urls.txt" would make its replacement fail.
    EXPECT_POLL(State(main_, IDC_MAIN_PICKER, IDC_MAIN_PICKER), "New:New,Zwei");
    EXPECT_POLL(File("urls.txt"), "2\r\nNew\r\nhttp://n/\r\nZwei\r\nhttp://b/\r\n");
    const int rounds = std::atoi(std::getenv("TARSEL_SOAK_ROUNDS"));
    DWORD id = GetProcessId(process_), owner = 0;
    std::vector<ULONG> table(1 << 22), first(2), last(2); // handles, windows
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        Edit(Menu(2, L"Edit Locations"), 0, 0, {L"Soak", L"http://soak/"}, IDC_LOCATIONS_OK);
        Edit(Menu(2, L"Edit Locations"), 1, 0, {}, IDC_LOCATIONS_OK);
        Click(Menu(3, L"Configure"),
              {round % 2 ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE, IDC_CONFIG_OK});
        Go(main_);
        ExpectLaunch("n/");
        EXPECT_POLL(DialUp(), {DWORD(round % 2), 1, 30});
        std::vector<ULONG>& count = (round ? last : first) = {0, 0};
        NtQuerySystemInformation(SystemHandleInformation, table.data(), 1 << 24, nullptr);
        for (ULONG i = 0; i < table[0]; ++i) // 24-byte entries, owner first; Wine's own count: 0
            count[0] += table[2 + 6 * i] == id;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));)
            count[1] += GetWindowThreadProcessId(w, &owner) && owner == id;
    }
    EXPECT_POLL(File("urls.txt") + File("urls.tmp") + File("dial.inf") + File("disc.inf"),
                "2\r\nNew\r\nhttp://n/\r\nZwei\r\nhttp://b/\r\nno file" +
                    Dial(rounds % 2 ? '0' : '1') + Disc('1', "30"));
    EXPECT_LE(last[0], first[0] + 8 + rounds) << "handles (Wine's WaitForInputIdle leaks one a Go)";
    EXPECT_LE(last[1], first[1]) << "top-level windows";
}

// Started as the browser, it appends its command line and 1E 0A to "browser.log" in one write,
// sharing the log every way (7), and ends (which closes the log).
int main(int argc, char** argv) {
    if (argc != 2 || !strstr(argv[1], "://"))
        return testing::InitGoogleTest(&argc, argv), RUN_ALL_TESTS();
    const std::string record = GetCommandLineA() + std::string("\x1e\n");
    HANDLE log = CreateFileA("browser.log", FILE_APPEND_DATA, 7, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    return !WriteFile(log, record.data(), DWORD(record.size()), &written, nullptr);
}
