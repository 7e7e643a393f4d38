// tarsel.exe under Wine, a scenario per thing a user does, driven by W messages. The driver's
// copy "rec browser.exe" is the default browser (see main).
#include "../../resources/resource.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winternl.h>

#include <process.h>
#include <psapi.h>

#include <fstream>

using std::string;

const char kSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kBrowser[] = TARSEL_SCRATCH "\\rec browser.exe"; // the default one (wine-env.sh)
const char kList[] = "2\n\nhttp://a/\nTwo\nhttp://b/\n";    // as an editor may leave it
string Dial(char on) {
    return on + string("\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n");
}
string Disc(char on, string minutes) {
    return on + ("\r\n" + minutes) +
           "\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = autodisconnect on\r\n"
           "second line  = number of idle minutes before disconnect\r\n";
}
void Put(const char* file, string bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}
string File(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return file ? string(std::istreambuf_iterator<char>(file), {}) : "no file";
}
auto Prefs = [] { return File("dial.inf") + File("disc.inf"); };
auto Send = [](HWND w, UINT m, WPARAM wp = 0, LPARAM lp = 0) { return SendMessageW(w, m, wp, lp); };
// "Go" pressed: its command, posted. Under Wine, WinExec answers sent messages meanwhile.
auto Go = [](HWND main) { PostMessageW(main, WM_COMMAND, IDC_MAIN_GO, 0); };
auto Type = [](HWND d, int id, std::wstring text) { SetDlgItemTextW(d, id, text.c_str()); };
string Text(HWND window, UINT message = WM_GETTEXT, WPARAM item = 512) { // ASCII only
    wchar_t text[512] = {};
    Send(window, message, item, LPARAM(text));
    return string(text, text + wcslen(text));
}
// A control's text, "*" when checked, "(hidden)", "(off)" when disabled, ":" and combo items.
string State(HWND d, int id) {
    HWND c = GetDlgItem(d, id);
    string state = Text(c) + (Send(c, BM_GETCHECK) ? "*" : "") +
                   (IsWindowVisible(c) ? "" : "(hidden)") + (IsWindowEnabled(c) ? "" : "(off)");
    for (LRESULT i = 0; i < Send(c, CB_GETCOUNT); ++i)
        state += (i ? "," : ":") + Text(c, CB_GETLBTEXT, i);
    return state;
}
void Select(HWND d, int id, int item) { // and the notification the control would send
    Send(GetDlgItem(d, id), CB_SETCURSEL, item);
    Send(d, WM_COMMAND, id | CBN_SELCHANGE << 16, LPARAM(GetDlgItem(d, id)));
}
// Enter with the focus on a control: Wine's dialog manager sends IDOK.
void Enter(HWND d, int focus) {
    Send(d, WM_NEXTDLGCTL, WPARAM(GetDlgItem(d, focus)), TRUE);
    Send(d, WM_COMMAND, IDOK);
}
string Place(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}
const char* const kDialUp[] = {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"};
string DialUp() { // the registry's values, 4 bytes each (REG_BINARY)
    DWORD v[3] = {}, size = 4;
    for (int i = 0; i < 3; ++i, size = 4)
        RegGetValueA(HKEY_CURRENT_USER, kSettings, kDialUp[i], RRF_RT_REG_BINARY, 0, v + i, &size);
    char text[80];
    snprintf(text, 80, "auto-dial %lu, auto-disconnect %lu, %lu minutes", v[0], v[1], v[2]);
    return text;
}
string StartFailure(DWORD code) { // the box, with the system's text
    char text[512] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 1024, text, sizeof text, nullptr);
    return "ERROR: Failed to start the browser: " + string(text) + "\n";
}

// Polls, answering message boxes, till x equals the rest.
#define EXPECT_POLL(x, ...)                                                                        \
    Poll([&] { return (x) == decltype(x)(__VA_ARGS__); });                                         \
    EXPECT_EQ(x, decltype(x)(__VA_ARGS__))
#define EXPECT_BOXES(lines)                                                                        \
    checked_ += lines;                                                                             \
    EXPECT_POLL(boxes_, checked_)

struct Tarsel : ::testing::Test {
    enum Item { kAbout = 1, kLocations, kConfigure }; // the system menu's, from the bottom
    void SetUp() override { // the files of a typical start, in a folder of the scenario's own
        const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(SetCurrentDirectoryA(TARSEL_SCRATCH) && CreateDirectoryA(name, nullptr) &&
                    SetCurrentDirectoryA(name));
        Put("tarsel.ini", "103\r\n124");
        Put("tarsel.inf", "0\r\n");
        Put("urls.txt", kList);
        Put("dial.inf", Dial('1'));
        Put("disc.inf", Disc('1', "10"));
    }
    void TearDown() override {
        EXPECT_POLL(boxes_, checked_) << "(boxes no check expected)";
        EXPECT_LT(ExitCode(), 0xC0000000) << "tarsel.exe crashed";
        TerminateProcess(process_, 0);
        WaitForSingleObject(process_, 10000);
    }
    void Start(const char* exe = "..\\..\\tarsel.exe") { // till it shows or ends; again if lost
        for (int i = 0; i < 3 && (process_ = HANDLE(_spawnl(_P_NOWAIT, exe, exe, nullptr))) ==
                                     INVALID_HANDLE_VALUE;)
            ++i;
        Poll([&] {
            main_ = FindWindowW(L"dia1", L"Halvorn's Tarsel");
            return IsWindowVisible(main_) || ExitCode() != STILL_ACTIVE;
        });
    }
    // Wine 8 under load loses about one process start in 2,000 (WinExec gives 11, or the process
    // dies at once): a launch lost so, with no other box, is pressed again.
    void ExpectLaunch(const string& address) {
        const string before = log_;
        log_ += "\"" + (kBrowser + ("\" http://" + address)) + "\x1e\n";
        if (!Poll([&] { return File("browser.log") != before; }) &&
            (boxes_ == checked_ || boxes_ == checked_ + StartFailure(11))) {
            checked_ = boxes_;
            Go(main_);
        }
        EXPECT_POLL(File("browser.log"), log_);
    }
    void Close() { // as the user would; the program ends
        PostMessageW(main_, WM_CLOSE, 0, 0);
        EXPECT_POLL(ExitCode(), 0);
    }
    DWORD ExitCode() {
        DWORD code = 0;
        return GetExitCodeProcess(process_, &code), code;
    }
    HWND Menu(Item item) { // by keys: Alt+Space, Up, Enter
        const wchar_t* const titles[] = {L"About...", L"Edit Locations", L"Configure"};
        PostMessageW(main_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        EXPECT_POLL(IsWindowVisible(FindWindowW(L"#32768", nullptr)), TRUE) << "no menu";
        for (int key = 0; key <= item; ++key)
            PostMessageW(main_, WM_KEYDOWN, key < item ? VK_UP : VK_RETURN, 0);
        EXPECT_POLL(IsWindowVisible(FindWindowW(L"#32770", titles[item - 1])), TRUE);
        return FindWindowW(L"#32770", titles[item - 1]);
    }
    void Click(HWND dialog, std::initializer_list<int> buttons) { // posted; the dialog must end
        for (int button : buttons)
            PostMessageW(GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        Ended(dialog);
    }
    void Ended(HWND dialog) { // and tarsel has done what its end asks for
        EXPECT_POLL(IsWindow(dialog), FALSE) << "the dialog stays";
        Send(main_, WM_NULL);
    }
    // Till holds(), 40 s at most (WinExec may wait 30 s), answering and recording each new box
    // unless told not to. After a failed check, a look only.
    template <class Holds> bool Poll(Holds holds, bool answer = true) {
        for (DWORD start = GetTickCount() - (HasFailure() ? 40001 : 0);; Sleep(20)) {
            for (HWND box = nullptr; answer && (box = FindWindowExW(0, box, L"#32770", 0));)
                if (HWND text = GetDlgItem(box, 0xFFFF); text && box != box_) { // a new one
                    boxes_ += Text(box_ = box) + ": " + Text(text) + "\n";
                    owner_ = GetWindow(box, GW_OWNER);
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
            if (holds() || GetTickCount() - start > 40000)
                return holds();
        }
    }

    string log_, boxes_, checked_; // the browser's log as expected; every box; those checked
    HANDLE process_ = nullptr;
    HWND main_ = nullptr, box_ = nullptr, owner_ = nullptr; // the last box (may linger), its owner
};

// "tarsel.inf" names the entry launched at start; from 100 on the window stays hidden and the
// program ends. A list of 100 entries ends it after a box.
TEST_F(Tarsel, StartsLaunchWhatTheStartFileNamesOrEnd) {
    for (string start : {"102", "100", "2"}) {
        Put("tarsel.inf", start);
        Start();
        EXPECT_EQ(ExitCode(), start == "2" ? STILL_ACTIVE : 0) << start;
        if (start != "100")
            ExpectLaunch("b/");
    }
    EXPECT_EQ(State(main_, IDC_MAIN_PICKER), "Two:,Two");
    Close();
    Put("urls.txt", "100\r\n");
    Start();
    EXPECT_BOXES("Maximum Locations: Location limit is 99.\n");
    EXPECT_POLL(ExitCode(), 0);
}

// "tarsel.ini" holds the client area's corner: 3 and 24 from the window's.
TEST_F(Tarsel, WindowOpensWhereTarselIniSaysAndMovesAreWritten) {
    Start();
    EXPECT_EQ(Place(main_), "100,100 366x80");
    SetWindowPos(main_, nullptr, 250, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT corner = {0, 0};
    ClientToScreen(main_, &corner);
    EXPECT_POLL(File("tarsel.ini"), std::to_string(corner.x) + "\r\n" + std::to_string(corner.y));
}

TEST_F(Tarsel, GoSaysWhyItCannotStartTheBrowser) {
    const char key[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
    Start();
    RegSetValueA(HKEY_LOCAL_MACHINE, key, REG_SZ, "C:\\gone\\iexplore.exe", 0);
    Go(main_);
    EXPECT_BOXES(StartFailure(ERROR_FILE_NOT_FOUND));
    RegSetValueA(HKEY_LOCAL_MACHINE, key, REG_SZ, kBrowser, 0);
    Close();
    ASSERT_TRUE(CreateDirectoryA("empty", nullptr) && SetCurrentDirectoryA("empty"));
    Start("..\\..\\..\\tarsel.exe");
    EXPECT_BOXES("Halvorn: Failed to open TARSEL.INI\nHalvorn: Failed to open tarsel.inf\n"
                 "Halvorn: Failed to open URLS.TXT\n");
    Go(main_);
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - read\n");
}

TEST_F(Tarsel, AboutShowsTheTitleWhileTheWindowWaits) {
    Start();
    HWND d = Menu(kAbout);
    EXPECT_EQ(Text(GetDlgItem(d, IDC_ABOUT_TITLE)), "Halvorn's Tarsel");
    EXPECT_FALSE(IsWindowEnabled(main_));
    Click(d, {IDC_ABOUT_OK});
}

// Cancel writes nothing but leaves its choices in the dialog; OK writes them, typed minutes too.
TEST_F(Tarsel, ConfigureCancelKeepsTheFilesAndOkWritesBoth) {
    Start();
    HWND d = Menu(kConfigure);
    Click(d, {IDC_CONFIG_DIAL_DISABLE, IDC_CONFIG_DISCONNECT_DISABLE, IDC_CONFIG_CANCEL});
    EXPECT_EQ(Prefs(), Dial('1') + Disc('1', "10"));
    d = Menu(kConfigure);
    EXPECT_EQ(State(d, IDC_CONFIG_DISCONNECT_DISABLE) + State(d, IDC_CONFIG_IDLE_MINUTES),
              "Disable*10(hidden)");
    PostMessageW(GetDlgItem(d, IDC_CONFIG_DISCONNECT_ENABLE), BM_CLICK, 0, 0);
    Type(d, IDC_CONFIG_IDLE_MINUTES, L"30");
    Click(d, {IDC_CONFIG_OK});
    EXPECT_EQ(Prefs(), Dial('0') + Disc('1', "30"));
    // OK into a locked "dial.inf": its box comes once the dialog is gone.
    d = Menu(kConfigure);
    HANDLE lock = CreateFileA("dial.inf", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SendMessageTimeoutW(d, WM_COMMAND, IDC_CONFIG_OK, 0, SMTO_NORMAL, 5000, nullptr);
    Poll([] { return FindWindowW(L"#32770", L"Halvorn"); }, false);
    EXPECT_FALSE(IsWindow(d)) << "the box came while the dialog lived";
    EXPECT_BOXES("Halvorn: Failed to open dial.inf - write\n");
    CloseHandle(lock);
}

// Enter in the minutes box takes them (the spin steps from there); on Cancel or OK it presses it.
TEST_F(Tarsel, ConfigureEnterTakesTheTypedMinutesOrPressesTheFocusedButton) {
    Start();
    HWND d = Menu(kConfigure);
    Type(d, IDC_CONFIG_IDLE_MINUTES, L"30");
    Enter(d, IDC_CONFIG_IDLE_MINUTES);
    for (int code : {SB_LINEDOWN, SB_LINEDOWN, SB_LINEUP, SB_ENDSCROLL})
        Send(d, WM_VSCROLL, code, LPARAM(GetDlgItem(d, IDC_CONFIG_IDLE_SPIN)));
    EXPECT_EQ(Text(GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES)), "29");
    Enter(d, IDC_CONFIG_CANCEL);
    Ended(d);
    EXPECT_EQ(Prefs(), Dial('1') + Disc('1', "10"));
    d = Menu(kConfigure);
    Enter(d, IDC_CONFIG_OK);
    Ended(d);
    EXPECT_EQ(Prefs(), Dial('1') + Disc('1', "29"));
}

// Cancel, and OK with an entry chosen to modify but left as it was, keep the file byte for byte.
// Another program may put more into the new address's box than a user can type: OK takes the
// 299 characters an entry holds, and the same OK's delete (of the unnamed entry) still counts.
TEST_F(Tarsel, EditLocationsChangesTheListOnlyAtOk) {
    Start();
    HWND d = Menu(kLocations);
    Select(d, IDC_LOCATIONS_DELETE_BOX, 1);
    Type(d, IDC_LOCATIONS_ADD_DESCRIPTION, L"New");
    Click(d, {IDC_LOCATIONS_CANCEL});
    d = Menu(kLocations);
    EXPECT_EQ(State(d, IDC_LOCATIONS_MODIFY_BOX) + State(d, IDC_LOCATIONS_MODIFY_ADDRESS),
              "<Nothing>:<Nothing>,,Two(off)");
    Select(d, IDC_LOCATIONS_MODIFY_BOX, 2);
    EXPECT_EQ(Text(GetDlgItem(d, IDC_LOCATIONS_MODIFY_ADDRESS)), "http://b/");
    Click(d, {IDC_LOCATIONS_OK});
    EXPECT_EQ(File("urls.txt"), kList);
    d = Menu(kLocations);
    Select(d, IDC_LOCATIONS_DELETE_BOX, 1);
    Select(d, IDC_LOCATIONS_MODIFY_BOX, 2);
    Type(d, IDC_LOCATIONS_MODIFY_ADDRESS, std::wstring(400, L'x'));
    Type(d, IDC_LOCATIONS_ADD_DESCRIPTION, L"New");
    Type(d, IDC_LOCATIONS_ADD_ADDRESS, L"http://n/");
    Click(d, {IDC_LOCATIONS_OK});
    EXPECT_EQ(File("urls.txt"), "2\r\nNew\r\nhttp://n/\r\nTwo\r\n" + string(299, 'x') + "\r\n");
}

TEST_F(Tarsel, ReleaseArchiveStartsAt50_27WithNoBox) {
    ASSERT_TRUE(SetCurrentDirectoryA("..\\..\\release\\" TARSEL_RELEASE));
    Start("tarsel.exe");
    EXPECT_EQ(Place(main_), "50,27 366x80");
}

// Wine saying Win32s: a box over the window; no browser detection (so "Go" starts none), no
// profile check, no carrying of the files' settings into the registry.
TEST_F(Tarsel, Win32sBoxesWindows95OnlyAndSkipsTheStartUpWork) {
    const char wine[] = "Software\\Wine\\AppDefaults\\tarsel.exe", profile[] = "RemoteAccess";
    RegSetKeyValueA(HKEY_CURRENT_USER, wine, "Version", REG_SZ, "win31", 6);
    RegSetKeyValueA(HKEY_CURRENT_USER, profile, "InternetProfile", REG_SZ, "", 1);
    DWORD off = 0;
    for (const char* name : kDialUp)
        RegSetKeyValueA(HKEY_CURRENT_USER, kSettings, name, REG_BINARY, &off, 4);
    Start();
    EXPECT_BOXES("Tarsel: Available for Windows 95 only\n");
    EXPECT_EQ(owner_, main_) << "the box's owner";
    EXPECT_EQ(DialUp(), "auto-dial 0, auto-disconnect 0, 0 minutes");
    Go(main_);
    EXPECT_POLL(DialUp(), "auto-dial 1, auto-disconnect 1, 10 minutes");
    Close();
    EXPECT_EQ(File("browser.log"), "no file");
    RegDeleteKeyA(HKEY_CURRENT_USER, wine);
    RegSetKeyValueA(HKEY_CURRENT_USER, profile, "InternetProfile", REG_SZ, "My ISP", 7);
}

// Rounds (TARSEL_SOAK_ROUNDS, 25 unless set) of Edit Locations OK, Configure OK and "Go" on a
// list of 98 grow neither handles, top-level windows nor memory (a list's table is 49 KB).
TEST_F(Tarsel, SoakRoundsGrowNoHandlesWindowsOrMemory) {
    string list = "98\r\nSoak\r\nhttp://soak/\r\nTwo\r\nhttp://b/\r\n";
    for (int i = 0; i < 96; ++i)
        list += "x\r\nhttp://x/\r\n";
    Put("urls.txt", list);
    Start();
    const int rounds = std::atoi(std::getenv("TARSEL_SOAK_ROUNDS"));
    DWORD id = GetProcessId(process_), owner = 0;
    std::vector<ULONG> table(1 << 22), first(3), last(3); // handles, windows, private KB
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        HWND d = Menu(kLocations); // the first entry deleted, and added again
        Select(d, IDC_LOCATIONS_DELETE_BOX, 1);
        Type(d, IDC_LOCATIONS_ADD_DESCRIPTION, L"Soak");
        Type(d, IDC_LOCATIONS_ADD_ADDRESS, L"http://soak/");
        Click(d, {IDC_LOCATIONS_OK});
        int dial = round % 2 ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE;
        Click(Menu(kConfigure), {dial, IDC_CONFIG_OK});
        Go(main_);
        ExpectLaunch("soak/");
        EXPECT_EQ(DialUp(),
                  "auto-dial " + std::to_string(round % 2) + ", auto-disconnect 1, 10 minutes");
        std::vector<ULONG>& count = (round ? last : first) = {0, 0, 0};
        NtQuerySystemInformation(SystemHandleInformation, table.data(), 1 << 24, nullptr);
        for (ULONG i = 0; i < table[0]; ++i) // 24-byte entries, owner first
            count[0] += table[2 + 6 * i] == id;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, nullptr, nullptr));)
            count[1] += GetWindowThreadProcessId(w, &owner) && owner == id;
        PROCESS_MEMORY_COUNTERS memory = {};
        GetProcessMemoryInfo(process_, &memory, sizeof memory);
        count[2] = memory.PagefileUsage / 1024;
    }
    EXPECT_EQ(File("urls.txt") + File("urls.tmp") + Prefs(),
              list + "no file" + Dial(rounds % 2 ? '0' : '1') + Disc('1', "10"));
    EXPECT_LE(last[0], first[0] + 8 + rounds) << "handles (Wine's WaitForInputIdle leaks one a Go)";
    EXPECT_LE(last[1], first[1]) << "top-level windows";
    EXPECT_LE(last[2], first[2] + 256 + 8 * rounds) << "private memory in KB, about 100 here";
}

// As the browser: appends its command line and 1E 0A to "browser.log" in one write, sharing the
// file every way (7).
int main(int argc, char** argv) {
    if (argc != 2 || !strstr(argv[1], "://"))
        return testing::InitGoogleTest(&argc, argv), RUN_ALL_TESTS();
    const string record = GetCommandLineA() + string("\x1e\n");
    HANDLE log = CreateFileA("browser.log", FILE_APPEND_DATA, 7, nullptr, OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    return !WriteFile(log, record.data(), DWORD(record.size()), &written, nullptr);
}
