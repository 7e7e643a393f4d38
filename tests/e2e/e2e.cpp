// The end-to-end scenarios: the real tarsel.exe under Wine, started in a scratch folder with the
// five files and the registry of a typical start, acted on through messages as clicks and keys
// send them. Checked: files and registry data byte for byte, the command lines the recording
// browser got, windows, and the message boxes in order. Every check polls (30 s for a launch,
// which WinExec may hold that long, 10 s for the rest); meanwhile every box of the program is
// recorded and answered with OK, and each box must be expected.
#include "resources/resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {
using Strings = std::vector<std::string>;
const char kSettings[] = "Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const char kIePath[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const std::string kList = "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n";
const int kDialUp[] = {IDC_CONFIG_DIAL_ENABLE, IDC_CONFIG_DIAL_DISABLE,
                       IDC_CONFIG_DISCONNECT_ENABLE, IDC_CONFIG_DISCONNECT_DISABLE};

std::string Dial(char on) {
    return on + std::string("\r\nfirst line 0 = autodial off\r\nfirst line 1 = autodial on\r\n");
}
std::string Disc(char on, const std::string& minutes) {
    return on + ("\r\n" + minutes) +
           "\r\nfirst line 0 = autodisconnect off\r\nfirst line 1 = "
           "autodisconnect on\r\nsecond line  = number of idle minutes before disconnect\r\n";
}
std::string Le(char n) { // REG_BINARY data as the program writes it
    return n + std::string(3, '\0');
}

// SendMessageW, given up after 5 s: only W messages carry texts across processes under Wine.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result);
    return LRESULT(result);
}
std::string Text(HWND window) { // the scenarios' texts are ASCII
    wchar_t text[512] = {};
    Send(window, WM_GETTEXT, 512, LPARAM(text));
    return std::string(text, text + wcslen(text));
}
void SetText(HWND control, const std::string& text) {
    std::wstring wide(text.begin(), text.end());
    Send(control, WM_SETTEXT, 0, LPARAM(wide.c_str()));
}
Strings Items(HWND combo) {
    Strings items;
    for (LRESULT i = 0, n = Send(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
        wchar_t text[512] = {};
        Send(combo, CB_GETLBTEXT, WPARAM(i), LPARAM(text));
        items.push_back(std::string(text, text + wcslen(text)));
    }
    return items;
}
// The selection and the notification the control would send its parent.
void Select(HWND combo, int item) {
    Send(combo, CB_SETCURSEL, WPARAM(item), 0);
    Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
         LPARAM(combo));
}
// Posted: the program may answer with a modal box, which a sent message would wait for.
void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}
std::vector<LONG> Place(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

class Tarsel : public ::testing::Test {
  protected:
    void SetUp() override {
        char exe[MAX_PATH];
        folder_.assign(exe, GetModuleFileNameA(nullptr, exe, MAX_PATH));
        folder_.erase(folder_.rfind('\\'));
        CreateDirectoryA((folder_ + "\\e2e-scratch").c_str(), nullptr);
        scratch_ = folder_ + "\\e2e-scratch\\" +
                   testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(CreateDirectoryA(scratch_.c_str(), nullptr)) << scratch_;
        browser_ = scratch_ + "\\rec browser.exe";
        ASSERT_TRUE(CopyFileA((folder_ + "\\recbrowser.exe").c_str(), browser_.c_str(), FALSE));
        for (const char* name : {"tarsel.ini", "tarsel.inf", "urls.txt", "dial.inf", "disc.inf"})
            Put(name, Typical(name));
        // A crash ends the program at once; windows without a window manager are Wine's own.
        SetReg(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", "ShowCrashDialog", REG_DWORD, Le(0));
        SetReg(HKEY_CURRENT_USER, "Software\\Wine\\Explorer", "Desktop", REG_SZ, "Default");
        SetReg(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops", "Default", REG_SZ,
               "1024x768");
        SetReg(HKEY_CLASSES_ROOT, "HTTP\\DefaultIcon", "", REG_SZ,
               "C:\\WINDOWS\\SYSTEM\\url.dll,0");
        SetReg(HKEY_LOCAL_MACHINE, kIePath, "", REG_SZ, browser_);
        SetReg(HKEY_CURRENT_USER, "RemoteAccess", "InternetProfile", REG_SZ, "My ISP");
        for (const char* name : {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"})
            SetReg(HKEY_CURRENT_USER, kSettings, name, REG_BINARY, Le(name[0] == 'D' ? 10 : 1));
    }
    void TearDown() override {
        EXPECT_TRUE(Boxes({})) << "(message boxes that no check expected)";
        if (process_ && ExitCode() == STILL_ACTIVE)
            TerminateProcess(process_, 0);
        EXPECT_LT(ExitCode(), 0xC0000000) << "tarsel.exe crashed";
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
    }
    static std::string Typical(const std::string& name) {
        return name == "tarsel.ini"   ? "103\r\n124"
               : name == "tarsel.inf" ? "0\r\n"
               : name == "urls.txt"   ? kList
               : name == "dial.inf"   ? Dial('1')
                                      : Disc('1', "10");
    }
    void Put(const std::string& name, const std::string& bytes) {
        HANDLE file = CreateFileA((scratch_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)) << name;
        CloseHandle(file);
    }
    std::string File(const std::string& name) { // "no file" when there is none
        HANDLE file = CreateFileA((scratch_ + "\\" + name).c_str(), GENERIC_READ, 7, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string bytes = file == INVALID_HANDLE_VALUE ? "no file" : "";
        char buffer[4096];
        for (DWORD got = 0; ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got;)
            bytes.append(buffer, got);
        CloseHandle(file);
        return bytes;
    }
    Strings Launches() { // the command lines the recording browser got, in order
        Strings launches;
        std::string log = File("browser.log");
        for (size_t at = 0, end; log != "no file" && (end = log.find("\x1e\n", at)) != log.npos;
             at = end + 2)
            launches.push_back(log.substr(at, end - at));
        return launches;
    }
    std::string Launch(const std::string& address) {
        return "\"" + browser_ + "\" " + address;
    }
    void SetReg(HKEY root, const char* key, const char* name, DWORD type, std::string data) {
        data += type == REG_SZ ? std::string(1, '\0') : "";
        EXPECT_EQ(RegSetKeyValueA(root, key, name, type, data.data(), DWORD(data.size())), 0)
            << key;
    }
    Strings DialUp() { // the three dial-up values' bytes, "none" for a missing one
        Strings values;
        for (const char* name : {"EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime"}) {
            char data[64];
            DWORD size = sizeof data;
            bool got =
                !RegGetValueA(HKEY_CURRENT_USER, kSettings, name, RRF_RT_ANY, nullptr, data, &size);
            values.push_back(got ? std::string(data, size) : "none");
        }
        return values;
    }

    void Start() {
        std::string exe = folder_ + "\\tarsel.exe", line = "\"" + exe + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started = {};
        ASSERT_TRUE(CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   scratch_.c_str(), &startup, &started));
        CloseHandle(started.hThread);
        process_ = started.hProcess;
        pid_ = started.dwProcessId;
    }
    DWORD ExitCode() {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return code;
    }
    // The program's visible top-level windows of this class (and caption, as its title shows it).
    std::vector<HWND> Windows(const wchar_t* windowClass, const wchar_t* caption = nullptr) {
        std::vector<HWND> found;
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, windowClass, nullptr));) {
            DWORD pid = 0;
            wchar_t title[64] = {};
            GetWindowThreadProcessId(w, &pid);
            InternalGetWindowText(w, title, 64);
            if (pid == pid_ && IsWindowVisible(w) && (!caption || !wcscmp(title, caption)))
                found.push_back(w);
        }
        return found;
    }
    HWND Wait(const wchar_t* windowClass, const wchar_t* caption) {
        std::vector<HWND> found;
        EXPECT_TRUE(Poll([&] { return !(found = Windows(windowClass, caption)).empty(); }))
            << "no window of the program titled " << testing::PrintToString(caption);
        return found.empty() ? nullptr : found[0];
    }
    HWND Main() {
        return main_ = Wait(L"dia1", L"Halvorn's Tarsel");
    }
    // A click on "Go" as the button sends it. Waits for no outcome: a launch can hold the
    // program for a while, and under Wine it answers sent messages meanwhile.
    void Go() {
        PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDC_MAIN_GO, BN_CLICKED),
                     LPARAM(GetDlgItem(main_, IDC_MAIN_GO)));
    }
    // The system menu as the keyboard works it: Alt+Space, `ups` times Up from the first item
    // (so from the end: About..., Edit Locations, Connection), Enter. Gives the dialog it opens.
    HWND Menu(int ups, const wchar_t* dialog) {
        PostMessageW(main_, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        Wait(L"#32768", nullptr);
        for (int up = 0; up < ups; ++up)
            PostMessageW(main_, WM_KEYDOWN, VK_UP, 0);
        PostMessageW(main_, WM_KEYDOWN, VK_RETURN, 0);
        return Wait(L"#32770", dialog);
    }
    void Press(HWND dialog, int button) { // and wait for the dialog to end
        Click(GetDlgItem(dialog, button));
        EXPECT_TRUE(Poll([&] { return !IsWindow(dialog); })) << "dialog still open";
    }
    // Edit Locations: chooses items to delete and modify (0: none), then types the texts: the
    // modified description and address (when modifying), the added description and address.
    void Edit(HWND d, int remove, int modify, const Strings& texts) {
        if (remove)
            Select(GetDlgItem(d, IDC_LOCATIONS_DELETE_BOX), remove);
        if (modify)
            Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), modify);
        const int ids[] = {IDC_LOCATIONS_MODIFY_BOX, IDC_LOCATIONS_MODIFY_ADDRESS,
                           IDC_LOCATIONS_ADD_DESCRIPTION, IDC_LOCATIONS_ADD_ADDRESS};
        for (size_t i = 0; i < texts.size(); ++i)
            SetText(GetDlgItem(d, ids[i + (modify ? 0 : 2)]), texts[i]);
    }

    bool Poll(const std::function<bool()>& holds, DWORD ms = 10000) {
        for (DWORD start = GetTickCount();; Sleep(20)) {
            AnswerBoxes();
            if (holds())
                return true;
            if (GetTickCount() - start > ms)
                return false;
        }
    }
    template <class Get>
    testing::AssertionResult Is(const char* what, Get get, DWORD ms, const decltype(get())& want) {
        decltype(get()) found{};
        if (Poll([&] { return (found = get()) == want; }, ms))
            return testing::AssertionSuccess();
        return testing::AssertionFailure()
               << what << "\n  expected: " << testing::PrintToString(want)
               << "\n  found:    " << testing::PrintToString(found);
    }
    // Message boxes: a top-level dialog of the program with the static text 0xFFFF.
    void AnswerBoxes() {
        for (HWND box : Windows(L"#32770")) {
            if (!GetDlgItem(box, 0xFFFF))
                continue;
            if (seen_.insert(box).second)
                boxes_.push_back(Text(box) + ": " + Text(GetDlgItem(box, 0xFFFF)));
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
    }
    // The boxes since the last check are these, "caption: text", in this order.
    testing::AssertionResult Boxes(const Strings& want) {
        auto result = Is(
            "message boxes", [&] { return Strings(boxes_.begin() + long(checked_), boxes_.end()); },
            10000, want);
        checked_ = boxes_.size();
        return result;
    }

    std::string folder_, scratch_, browser_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    std::set<HWND> seen_;
    Strings boxes_;
    size_t checked_ = 0;
};
#define EXPECT_POLL(get, ...)                                                                      \
    EXPECT_TRUE(Is(                                                                                \
        #get, [&] { return get; }, 10000, __VA_ARGS__))
#define EXPECT_LAUNCHES(...)                                                                       \
    EXPECT_TRUE(Is(                                                                                \
        "launches", [&] { return Launches(); }, 30000, __VA_ARGS__))

TEST_F(Tarsel, WindowTakesItsPlaceFromTarselIniAndAMoveRewritesIt) {
    Start();
    HWND window = Main();
    EXPECT_POLL(Place(window), {100, 100, 366, 80});
    SetWindowPos(window, nullptr, 250, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    POINT client = {0, 0};
    ClientToScreen(window, &client);
    EXPECT_POLL(File("tarsel.ini"), std::to_string(client.x) + "\r\n" + std::to_string(client.y));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_POLL(ExitCode(), 0);
}

TEST_F(Tarsel, SystemMenuEndsWithConnectionEditLocationsAndAboutWhichShowsTheName) {
    Start();
    HWND window = Main(), about = Menu(1, L"About...");
    EXPECT_EQ(GetWindow(about, GW_OWNER), window);
    EXPECT_POLL(Text(GetDlgItem(about, IDC_ABOUT_TITLE)), "Halvorn's Tarsel");
    EXPECT_POLL(IsWindowEnabled(window), FALSE);
    Press(about, IDC_ABOUT_OK);
    EXPECT_POLL(IsWindowEnabled(window), TRUE);
    Press(Menu(2, L"Edit Locations"), IDC_LOCATIONS_CANCEL);
    Press(Menu(3, L"Configure"), IDC_CONFIG_CANCEL);
}

TEST_F(Tarsel, PickerListsTheEntriesAndGoStartsTheBrowserOnTheSelectedAddress) {
    Start();
    HWND picker = GetDlgItem(Main(), IDC_MAIN_PICKER);
    EXPECT_POLL(Items(picker), {"One", "Two"});
    EXPECT_POLL(Send(picker, CB_GETCURSEL, 0, 0), 0);
    Select(picker, 1);
    Go();
    EXPECT_LAUNCHES({Launch("http://b/")});
}

TEST_F(Tarsel, StartFileOf2LaunchesTheSecondEntryAtStart) {
    Put("tarsel.inf", "2\r\n");
    Start();
    EXPECT_LAUNCHES({Launch("http://b/")});
    EXPECT_POLL(Send(GetDlgItem(Main(), IDC_MAIN_PICKER), CB_GETCURSEL, 0, 0), 1);
}

TEST_F(Tarsel, StartFileOf102LaunchesTheSecondEntryNeverShowsTheWindowAndEnds) {
    Put("tarsel.inf", "102\r\n");
    Start();
    bool shown = false;
    EXPECT_TRUE(Poll(
        [&] { return (shown |= !Windows(L"dia1").empty()) || ExitCode() != STILL_ACTIVE; }, 40000));
    EXPECT_FALSE(shown);
    EXPECT_POLL(ExitCode(), 0);
    EXPECT_LAUNCHES({Launch("http://b/")});
}

TEST_F(Tarsel, ConfigureShowsTheFilesCancelKeepsThemOkWritesThemAndGoCarriesThem) {
    Put("disc.inf", Disc('0', "20"));
    Start();
    Main();
    HWND d = Menu(3, L"Configure"), minutes = GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES);
    auto checks = [&] {
        std::vector<LRESULT> checked;
        for (int id : kDialUp)
            checked.push_back(Send(GetDlgItem(d, id), BM_GETCHECK, 0, 0));
        return checked;
    };
    EXPECT_POLL(checks(), {1, 0, 0, 1});
    EXPECT_POLL(Text(minutes), "20");
    EXPECT_POLL(IsWindowVisible(minutes), FALSE);
    Click(GetDlgItem(d, IDC_CONFIG_DIAL_DISABLE));
    EXPECT_POLL(checks(), {0, 1, 0, 1});
    Press(d, IDC_CONFIG_CANCEL);
    Go(); // the files as they were: the minutes stay while auto-disconnect is off
    EXPECT_LAUNCHES({Launch("http://a/")});
    EXPECT_POLL(DialUp(), {Le(1), Le(0), Le(10)});

    d = Menu(3, L"Configure");
    minutes = GetDlgItem(d, IDC_CONFIG_IDLE_MINUTES);
    Click(GetDlgItem(d, IDC_CONFIG_DIAL_DISABLE));
    Click(GetDlgItem(d, IDC_CONFIG_DISCONNECT_ENABLE));
    EXPECT_POLL(IsWindowVisible(minutes), TRUE);
    SetText(minutes, "30");
    Press(d, IDC_CONFIG_OK);
    EXPECT_POLL(File("dial.inf"), Dial('0'));
    EXPECT_POLL(File("disc.inf"), Disc('1', "30"));
    Go();
    EXPECT_LAUNCHES({Launch("http://a/"), Launch("http://a/")});
    EXPECT_POLL(DialUp(), {Le(0), Le(1), Le(30)});
}

TEST_F(Tarsel, EditLocationsShowsTheListCancelKeepsItAndOkMakesTheEdits) {
    Start();
    HWND picker = GetDlgItem(Main(), IDC_MAIN_PICKER), d = Menu(2, L"Edit Locations");
    for (int id : {IDC_LOCATIONS_DELETE_BOX, IDC_LOCATIONS_MODIFY_BOX}) {
        EXPECT_POLL(Items(GetDlgItem(d, id)), {"<Nothing>", "One", "Two"});
        EXPECT_POLL(Send(GetDlgItem(d, id), CB_GETCURSEL, 0, 0), 0);
    }
    EXPECT_POLL(Text(GetDlgItem(d, IDC_LOCATIONS_ADD_DESCRIPTION)), "");
    EXPECT_POLL(Text(GetDlgItem(d, IDC_LOCATIONS_ADD_ADDRESS)), "http://");
    EXPECT_POLL(IsWindowEnabled(GetDlgItem(d, IDC_LOCATIONS_MODIFY_ADDRESS)), FALSE);
    Select(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX), 2);
    EXPECT_POLL(Text(GetDlgItem(d, IDC_LOCATIONS_MODIFY_BOX)), "Two");
    EXPECT_POLL(Text(GetDlgItem(d, IDC_LOCATIONS_MODIFY_ADDRESS)), "http://b/");
    EXPECT_POLL(IsWindowEnabled(GetDlgItem(d, IDC_LOCATIONS_MODIFY_ADDRESS)), TRUE);
    Edit(d, 1, 2, {"Zwei", "http://z/", "New", "http://n/"});
    Press(d, IDC_LOCATIONS_CANCEL);
    EXPECT_POLL(File("urls.txt"), kList);

    Edit(d = Menu(2, L"Edit Locations"), 1, 2, {"Zwei", "http://z/", "New", "http://n/"});
    Press(d, IDC_LOCATIONS_OK);
    EXPECT_POLL(File("urls.txt"), "2\r\nNew\r\nhttp://n/\r\nZwei\r\nhttp://z/\r\n");
    EXPECT_POLL(Items(picker), {"New", "Zwei"});
}

TEST_F(Tarsel, StartInAnEmptyFolderAndGoThereShowTheirBoxesInOrder) {
    for (const char* name : {"tarsel.ini", "tarsel.inf", "urls.txt", "dial.inf", "disc.inf"})
        DeleteFileA((scratch_ + "\\" + name).c_str());
    Start();
    EXPECT_TRUE(Boxes({"Halvorn: Failed to open TARSEL.INI", "Halvorn: Failed to open tarsel.inf",
                       "Halvorn: Failed to open URLS.TXT"}));
    EXPECT_POLL(Items(GetDlgItem(Main(), IDC_MAIN_PICKER)), {});
    Go();
    EXPECT_TRUE(Boxes({"Halvorn: Failed to open dial.inf - read"}));
}

TEST_F(Tarsel, ListOfAHundredEntriesShowsTheLimitBoxAndEnds) {
    std::string list = "100\r\n";
    for (int i = 0; i < 100; ++i)
        list += "Place\r\nhttp://p/\r\n";
    Put("urls.txt", list);
    Start();
    EXPECT_TRUE(Boxes({"Maximum Locations: Location limit is 99."}));
    EXPECT_POLL(ExitCode(), 0);
}

// The program's handles, USER objects, GDI objects and windows. Wine answers 0 for the first
// three: its handles are counted in the system's table (a count, then 24-byte entries, each
// starting with the owner's process id) instead.
std::vector<DWORD> Counts(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    std::vector<DWORD> counts = {handles, GetGuiResources(process, GR_USEROBJECTS),
                                 GetGuiResources(process, GR_GDIOBJECTS), 0, pid};
    CloseHandle(process);
    using Query = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    auto query = Query(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<ULONG> table(1 << 16);
    while (!handles &&
           query(16, table.data(), ULONG(table.size() * 4), nullptr) == LONG(0xC0000004))
        table.resize(table.size() * 2);
    for (ULONG i = 0; !handles && i < table[0] && 2 + 6 * i < table.size(); ++i)
        counts[0] += table[2 + 6 * i] == pid;
    auto count = [](HWND window, LPARAM data) {
        DWORD *counts = reinterpret_cast<DWORD*>(data), owner = 0;
        GetWindowThreadProcessId(window, &owner);
        counts[3] += owner == counts[4];
        return TRUE;
    };
    EnumChildWindows(GetDesktopWindow(), count, LPARAM(counts.data()));
    counts.pop_back();
    return counts;
}

// Many rounds in one run: add an entry, delete it, switch auto-dial, "Go". The program must end
// exactly where the last round left it, with every launch recorded and no more handles, objects
// or windows than after the first round (Wine's WaitForInputIdle, inside WinExec, leaves one
// handle open per launch).
using Soak = Tarsel;

TEST_F(Soak, RoundsOfEditingConfiguringAndGoLeaveExactFilesAndNoGrowth) {
    const char* set = std::getenv("TARSEL_SOAK_ROUNDS");
    const int rounds = set ? std::atoi(set) : 25;
    Start();
    HWND picker = GetDlgItem(Main(), IDC_MAIN_PICKER), d;
    std::vector<DWORD> first;
    std::string place;
    for (int round = 0; round < rounds && !HasFailure(); ++round) {
        Edit(d = Menu(2, L"Edit Locations"), 0, 0, {"Soak", "http://soak/"});
        Press(d, IDC_LOCATIONS_OK);
        EXPECT_POLL(Items(picker), {"Soak", "One", "Two"});
        Edit(d = Menu(2, L"Edit Locations"), 1, 0, {});
        Press(d, IDC_LOCATIONS_OK);
        EXPECT_POLL(Items(picker), {"One", "Two"});
        d = Menu(3, L"Configure");
        Click(GetDlgItem(d, round % 2 ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE));
        Press(d, IDC_CONFIG_OK);
        Go();
        EXPECT_LAUNCHES(Strings(size_t(round) + 1, Launch("http://a/")));
        EXPECT_POLL(DialUp(), {Le(char(round % 2)), Le(1), Le(10)});
        if (round == 0)
            first = Counts(pid_), place = File("tarsel.ini");
    }
    ASSERT_FALSE(HasFailure());
    EXPECT_POLL(File("urls.txt"), kList);
    EXPECT_POLL(File("urls.tmp"), "no file");
    EXPECT_POLL(File("dial.inf"), Dial(rounds % 2 ? '0' : '1'));
    EXPECT_POLL(File("disc.inf"), Disc('1', "10"));
    EXPECT_POLL(File("tarsel.ini"), place);
    const std::vector<DWORD> last = Counts(pid_), slack = {8 + DWORD(rounds), 8, 8, 8};
    for (size_t i = 0; i < last.size(); ++i)
        EXPECT_LE(last[i], first[i] + slack[i])
            << "handles, USER objects, GDI objects, windows after the first round "
            << testing::PrintToString(first) << ", after the last " << testing::PrintToString(last);
}

} // namespace
