// The portable code on the Win32 stand-in. Each helper below runs one rule on its input as the
// file or the registry holds it and tells what came of it in words; a box reads "caption: text
// (style)", the style in hex: 1000 system-modal, 30 warning, 40 information.
#include "tests/unit/files.h"

#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "connection/idle_minutes.h"

#include <gtest/gtest.h>

namespace {

using standin::s;
using std::string;

// The program ends itself at the location limit: a test that ends it so has failed.
const int endedInTest =
    (testing::UnitTest::GetInstance(),
     atexit([] { testing::UnitTest::GetInstance()->current_test_info() ? _exit(1) : void(); }));

const string kTwo = Lines("2", "One", "http://a/", "Two", "http://b/");
const string kSettings = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";

// The entries that one load finds, "description=address" each.
string Load(const string& file) {
    Fresh();
    Put("urls.txt", file);
    LocationTable table;
    if (!LoadLocationList(&table, "", false))
        return s.log;
    string entries;
    for (int i = 0; i < table.count; ++i)
        entries +=
            string(i ? ", " : "") + table.entries[i].description + "=" + table.entries[i].address;
    FreeLocationTable(&table);
    return entries;
}

TEST(LocationList, ALoadTakesTheEntriesThatTheCountNames) {
    EXPECT_EQ(Load(Lines("00012", "One", "a", "Two", "b")), "One=a") << "count of 4 characters";
    EXPECT_EQ(Load(Lines("2", "One", "a", "\x1a", "Two", "b")), "One=a") << "Ctrl-Z ends it";
    EXPECT_EQ(Load(Lines("3", "", "a", "Two")), "=a, Two=") << "fewer entries than the count";
    EXPECT_EQ(Load("100\r\n" + Repeat(100, Lines("x", "y"))), Repeat(99, "x=y, ") + "x=y");
}

TEST(LocationList, LongLinesAreCutAndANulEndsTheTextNotTheLine) {
    EXPECT_EQ(Load(Lines("2", string(250, 'd'), string(400, 'a'), "Two", "b")),
              string(199, 'd') + "=" + string(299, 'a') + ", Two=b");
    EXPECT_EQ(Load(Lines("2", string("O\0n\0e", 5), "a", "Two", "b")), "O=a, Two=b") << "UTF-16";
}

TEST(LocationList, ShortMemoryFailsTheLoadWithABox) {
    Fresh();
    s.fail[standin::kAlloc] = {1};
    Put("urls.txt", kTwo);
    LocationTable table;
    EXPECT_FALSE(LoadLocationList(&table, "", false));
    EXPECT_EQ(s.log, "Halvorn: Out of memory (1030)\n");
}

// The list after the edit; its boxes and "urls.tmp" if any remain.
string Edited(const string& list, const Edit& edit, int result = 0) {
    Fresh();
    Put("urls.txt", list);
    Put("urls.tmp", "left over");
    EXPECT_EQ(Apply(edit), result);
    return Get("urls.txt") + s.log + (Get("urls.tmp") == "(none)" ? "" : "(urls.tmp remains)");
}

TEST(ListRewrite, AnAddComesFirstAndTakesTypedTextsToTheirLineBreak) {
    EXPECT_EQ(Edited(kTwo, {.add = {"New", "http://n/"}}, 1),
              Lines("3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"));
    EXPECT_EQ(Edited(Lines("0"), {.add = {"New\r\nX", "http://n/\nY\x1aZ"}}, 1),
              Lines("1", "New", "http://n/"));
    EXPECT_EQ(Edited(Lines("00012", "One", "a", "Two", "b"), {.add = {"New", "n"}}, 1),
              Lines("2", "New", "n", "One", "a"))
        << "the entries the count names";
    const string full = "99\r\n" + Repeat(99, Lines("x", "y"));
    EXPECT_EQ(Edited(full, {.add = {"New", "n"}}, kListFull), full);
}

TEST(ListRewrite, ADeleteOrModifyTakesTheEntryEqualInBothTexts) {
    EXPECT_EQ(Edited(Lines("3", "One", "a", "One", "c", "One", "c"), {.remove = {"One", "c"}}),
              Lines("2", "One", "a", "One", "c"))
        << "the first of two";
    EXPECT_EQ(Edited(Lines("2", "", "a", "Two", "b"), {.remove = {"", "a"}, .picked = true}),
              Lines("1", "Two", "b"))
        << "picked, without a description";
    EXPECT_EQ(Edited(Lines("3 x", "One", "a", "Two", "b", "One", "a"),
                     {.modifyFrom = {"One", "a"}, .modifyTo = {"Z", "z"}}),
              Lines("3 x", "Z", "z", "Two", "b", "Z", "z"))
        << "every one, the count line kept";
    EXPECT_EQ(Edited(Lines("1", "One", string(300, 'a')), {.remove = {"One", string(299, 'a')}}),
              Lines("1", "One", string(300, 'a')))
        << "a line longer than an address matches none";
    EXPECT_EQ(Edited("2\nOne\na\nTwo\nb\n",
                     {.remove = {"One", "b"}, .modifyFrom = {"Two", "a"}, .modifyTo = {"Z", "z"}}),
              "2\nOne\na\nTwo\nb\n")
        << "none there: not a byte changes";
}

TEST(ListRewrite, LongLinesAndTheWidestTypedTextsAreWrittenWhole) {
    const string d(250, 'd'), a(9000, 'a'), n(199, 'N'), z(299, 'Z');
    EXPECT_EQ(
        Edited(Lines("2", d, a, "Two", "b"), {.modifyFrom = {"Two", "b"}, .modifyTo = {n, z}}),
        Lines("2", d, a, n, z));
}

// The window's place from "tarsel.ini" on a 1024 x 768 screen.
string Place(const string& file) {
    Fresh();
    Put("tarsel.ini", file);
    int x = 0, y = 0, left = 0, top = 0;
    EXPECT_TRUE(ReadWindowPosition(&x, &y));
    WindowEdgesFor(x, y, 1024, 768, &left, &top);
    char place[64];
    snprintf(place, sizeof place, "corner %d, %d: window at %d, %d", x, y, left, top);
    return place;
}

TEST(WindowPlace, TheFileNamesTheClientCornerOfAWindowKeptOnTheScreen) {
    EXPECT_EQ(Place("\t +7 px\r\n-12"), "corner 7, -12: window at 4, 1");
    EXPECT_EQ(Place("1234567890123\r\n50"), "corner 123456789, 50: window at 1, 26");
    EXPECT_EQ(Place("5"), "corner 5, 0: window at 2, 1");
    EXPECT_EQ(Place("3\r\n24"), "corner 3, 24: window at 0, 0");
    EXPECT_EQ(Place("867\r\n732"), "corner 867, 732: window at 864, 708");
    EXPECT_EQ(Place("868\r\n733"), "corner 868, 733: window at 1, 1");
}

TEST(WindowPlace, AMoveWritesTheCornerAsUnsignedNumbers) {
    Fresh();
    EXPECT_TRUE(SaveWindowPosition(0xFFFFFFFB)); // left -5, top -1
    EXPECT_EQ(Get("tarsel.ini"), "65531\r\n65535");
    Fresh();
    s.fail[standin::kOpenWrite] = {1};
    EXPECT_FALSE(SaveWindowPosition(0));
    EXPECT_EQ(s.log, "Halvorn: Failed to open TARSEL.INI (1030)\n");
}

// The start-up launch that "tarsel.inf" asks for in a list of five.
string Start(const string& file) {
    Fresh();
    Put("tarsel.inf", file);
    exitAfterLaunch = false;
    ReadStartIndex();
    if (!PrepareStartLaunch(5))
        return "none (start value " + std::to_string(StartIndex) + ")";
    return "entry " + std::to_string(StartIndex) + (exitAfterLaunch ? ", then the end" : "");
}

TEST(StartFile, TheFirstLineNamesTheEntryToLaunch) {
    EXPECT_EQ(Start("1"), "entry 0");
    EXPECT_EQ(Start("5\r\n7"), "entry 4");
    EXPECT_EQ(Start("6"), "none (start value 0)");
    EXPECT_EQ(Start("100"), "none (start value 0)");
    EXPECT_EQ(Start("105"), "entry 4, then the end");
}

// The preferences read from the two files, over 41, 42 and 43.
string Read(const string& dial, const string& disc) {
    Fresh();
    Put("dial.inf", dial);
    Put("disc.inf", disc);
    ConnectionSettings& c = connectionSettings = {41, 42, 43, "", 0};
    ReadConnectionSettings();
    char read[96];
    snprintf(read, sizeof read, "auto-dial %d, auto-disconnect %d, minutes %d", c.autoDial,
             c.autoDisconnect, c.idleMinutes);
    return read + string(s.log.empty() ? "" : "; ") + s.log;
}

TEST(Preferences, EachValueIsReadAsAtMostTwoCharacters) {
    EXPECT_EQ(Read("1\r\n", "10\r\n5"), "auto-dial 1, auto-disconnect 10, minutes 0");
    EXPECT_EQ(Read("0", "1\r\n120"), "auto-dial 0, auto-disconnect 1, minutes 12");
    EXPECT_EQ(Read("0", "1\r\n"), "auto-dial 0, auto-disconnect 1, minutes 43");
    EXPECT_EQ(Read("0", "(none)"), "auto-dial 41, auto-disconnect 42, minutes 43; "
                                   "Halvorn: Failed to open disc.inf - read (1030)\n");
}

// The two files up to their comment lines (seen whole under Wine) and the boxes, when the nth
// call of a kind fails.
string Written(standin::Call failing, int nth) {
    Fresh();
    s.fail[failing] = {nth};
    connectionSettings = {7, 0, 20, {'1', '2', '3'}, 0}; // a text not ended in its field
    WriteConnectionSettings();
    auto head = [](const char* name) { return Get(name).substr(0, Get(name).find("first")); };
    return "dial.inf: " + head("dial.inf") + "; disc.inf: " + head("disc.inf") + "; " + s.log;
}

TEST(Preferences, WritingStoresBothFilesAndShowsWhatFailed) {
    EXPECT_EQ(Written(standin::kOpenWrite, 3), "dial.inf: 1\r\n; disc.inf: 0\r\n12\r\n; ");
    EXPECT_EQ(
        Written(standin::kOpenWrite, 2),
        "dial.inf: 1\r\n; disc.inf: (none); Halvorn: Failed to open disc.inf - write (1030)\n");
    EXPECT_EQ(Written(standin::kWrite, 1),
              "dial.inf: ; disc.inf: 0\r\n12\r\n; Halvorn: Failed to write dial.inf (1030)\n");
    EXPECT_EQ(Written(standin::kClose, 2),
              "dial.inf: 1\r\n; disc.inf: 0\r\n12\r\n; Halvorn: Failed to write disc.inf (1030)\n");
}

// What a sync writes: both switches hold the value (absent when "-"), both preferences are
// `on`, the minutes 0x04030201, flagged as changed when `changed`, `refused` writes fail.
string Synced(const string& value, int on, bool changed, std::set<int> refused = {}) {
    Fresh();
    s.keys[kSettings] = ERROR_SUCCESS;
    for (const char* name : {"\\EnableAutoDial", "\\EnableAutoDisconnect"})
        if (value != "-")
            s.values[kSettings + name] = value;
    s.fail[standin::kRegSet] = refused;
    dialRegistryState = {0, 0};
    connectionSettings = {on, on, 0x04030201, "", changed};
    SyncAutoDial();
    SyncAutoDisconnect();
    return s.log + (connectionSettings.idleTimeChanged ? "(still changed)" : "");
}

TEST(DialRegistry, ASyncWritesWhatDiffersFromThePreferences) {
    EXPECT_EQ(Synced("-", 1, false),
              "EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=67305985\n");
    EXPECT_EQ(Synced(string(4, '\0'), 1, true),
              "EnableAutoDial=1\nEnableAutoDisconnect=1\nDisconnectIdleTime=67305985\n"
              "DisconnectIdleTime=67305985\n");
    EXPECT_EQ(Synced("\1", 0, true),
              "EnableAutoDial=0\nDisconnectIdleTime=67305985\nEnableAutoDisconnect=0\n");
    EXPECT_EQ(Synced("\1" + string(299, '\0'), 1, false), "") << "a long value's first 4 bytes";
    EXPECT_EQ(Synced("-", 1, false, {3, 4}),
              "EnableAutoDial=1\nEnableAutoDisconnect=1\n(still changed)");
    Fresh();
    SyncAutoDial();
    EXPECT_EQ(s.log, "ERROR: open auto dial failed(registry): File not found. (40)\n");
}

// The browser that the default icon's text names, and the box.
string Browser(const string& defaultIcon) {
    Fresh();
    s.keys["HKCR\\HTTP\\DefaultIcon"] = ERROR_SUCCESS;
    s.values["HKCR\\HTTP\\DefaultIcon\\"] = defaultIcon;
    const char* const kinds[] = {"none", "Netscape", "Internet Explorer"};
    int found = DetectDefaultBrowser();
    EXPECT_EQ(found, BrowserKind != kNoBrowser);
    return kinds[BrowserKind] + string(s.log.empty() ? "" : "; ") + s.log;
}

TEST(Browser, TheDefaultIconNamesTheBrowser) {
    EXPECT_EQ(Browser("C:\\N\\NETSCAPE.EXE"), "Netscape");
    EXPECT_EQ(Browser(string("url.dll netscape.exe\0", 21)), "Netscape");
    EXPECT_EQ(Browser(string("URL.DLL\0", 8)), "Internet Explorer");
    EXPECT_EQ(Browser("Netscape.exe"),
              "none; ERROR: Default Browser Not Supported: Netscape.exe (1040)\n");
    EXPECT_EQ(Browser(string(2000, 'a')), "none; ERROR: Default Browser Not Supported:  (1040)\n");
}

// The boxes of the dial-up profile check; "-": no name.
string Profile(const string& name) {
    Fresh();
    s.keys["HKCU\\RemoteAccess"] = ERROR_SUCCESS;
    if (name != "-")
        s.values["HKCU\\RemoteAccess\\InternetProfile"] = name;
    CheckDialProfile();
    return s.log;
}

TEST(Browser, AProfileNameOfTwoCharactersOrMoreNamesAConnection) {
    EXPECT_EQ(Profile("-"), "ERROR: no dial line entry:  (1040)\n");
    EXPECT_EQ(Profile(string("A\0", 2)), "ERROR: no dial line entry: A (1040)\n");
    EXPECT_EQ(Profile(string(200, 'P')), "");
}

struct Launch {
    int kind;
    string path; // in App Paths; no key when empty
    string address;
    int selected, startIndex;
    UINT started = 33; // WinExec's result
};

// What "Go" does, with the preferences as the registry has them already.
string Go(const Launch& go) {
    Fresh();
    Put("dial.inf", "1");
    Put("disc.inf", "0");
    dialRegistryState = {1, 0};
    connectionSettings = {};
    s.keys[kSettings] = ERROR_SUCCESS;
    for (string exe : {"Netscape.exe", "IEXPLORE.EXE"}) {
        string key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe;
        s.keys[key] = go.path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
        s.values[key + "\\"] = go.path;
    }
    Put("urls.txt", Lines("1", "One", go.address));
    LoadLocationList(&mainTable, "", false);
    BrowserKind = go.kind;
    StartIndex = go.startIndex;
    s.execResult = go.started;
    PrepareLaunch();
    if (StartBrowserOn(&mainTable, go.selected))
        PauseAfterLaunch();
    FreeLocationTable(&mainTable);
    return s.log;
}

TEST(Launch, GoStartsTheBrowserOnTheSelectedAddress) {
    EXPECT_EQ(Go({.kind = kNetscape, .path = "C:\\N.EXE", .address = "http://a/"}),
              "exec C:\\N.EXE http://a/\n");
    const string blanks(1020, ' '), address(299, 'a'); // the longest path and address
    EXPECT_EQ(Go({.kind = kInternetExplorer, .path = "C:\\" + blanks, .address = address}),
              "exec \"C:\\" + blanks + "\" " + address + "\n");
    EXPECT_EQ(Go({.kind = kInternetExplorer, .address = "http://a/"}),
              "ERROR: Failed to get Internet Explorer installation directory: File not found. "
              "(40)\nexec  http://a/\n");
    EXPECT_EQ(Go({.kind = kNoBrowser, .address = "http://a/", .startIndex = 2}),
              "exec  http://a/\nsleep 1500\n")
        << "after a start-up launch";
    EXPECT_EQ(Go({.address = "http://a/", .selected = 1}), "") << "past the last entry";
}

TEST(Launch, ABrowserThatDoesNotStartIsShown) {
    EXPECT_EQ(Go({.kind = kNetscape, .path = "x", .address = "a", .started = 0}),
              "exec x a\nERROR: Failed to start the browser: Error 8 (40)\n");
    EXPECT_EQ(Go({.kind = kNoBrowser, .address = "a", .started = 2}), "exec  a\n")
        << "without a path the user has been told";
}

// The command that a browser path makes in a buffer of `room` bytes.
string Command(const char* path, size_t room) {
    char command[16] = "";
    bool fits = SetBrowserPath(command, room, path);
    return fits ? command : "does not fit (" + string(command) + ")";
}

TEST(Launch, ABrowserPathWithABlankIsQuotedAndUsedWholeOrNotAtAll) {
    EXPECT_EQ(Command("a b c d ef", 12), "does not fit ()");
    EXPECT_EQ(Command("\"a b\"", 6), "\"a b\"");
}

// The minutes after the change: the box's text, the number, and whether they were changed.
string Minutes() {
    const ConnectionSettings& c = connectionSettings;
    return c.idleMinutesText + (" (" + std::to_string(c.idleMinutes)) + ")" +
           (c.idleTimeChanged ? ", changed" : "");
}

TEST(IdleMinutes, TypedMinutesAreTakenAsTwoCharactersWithin3To59) {
    connectionSettings = {1, 1, 20, "20", 0};
    EXPECT_TRUE(TakeOverTypedMinutes("75"));
    EXPECT_EQ(Minutes(), "59 (59), changed");
    EXPECT_TRUE(TakeOverTypedMinutes("2"));
    EXPECT_EQ(Minutes(), "3 (3), changed");
    connectionSettings = {1, 0, 20, "20", 0};
    EXPECT_FALSE(TakeOverTypedMinutes("75"));
    EXPECT_EQ(Minutes(), "20 (20)") << "auto-disconnect off";
}

// The minutes after one step of the spin from `from`.
string Step(int from, int step) {
    connectionSettings = {1, 1, from, "", 0};
    FormatIdleMinutesText();
    EXPECT_EQ(StepIdleMinutes(step), connectionSettings.idleTimeChanged == 1);
    return Minutes();
}

TEST(IdleMinutes, TheSpinStepsWithin3To59) {
    EXPECT_EQ(Step(59, 1), "59 (59)");
    EXPECT_EQ(Step(3, -1), "3 (3)");
    EXPECT_EQ(Step(101, -1), "10 (100), changed");
}

} // namespace
