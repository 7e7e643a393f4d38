// The rules of the files, the registry and the launch: each case gives its input as the file or
// the registry holds it, and in words what came of it.
#include "tests/unit/rules.h"

#include <gtest/gtest.h>

namespace {

// The program ends itself at the location limit: a test that ends it so has failed.
const int endedInTest =
    (testing::UnitTest::GetInstance(),
     atexit([] { testing::UnitTest::GetInstance()->current_test_info() ? _exit(1) : void(); }));

const string d(250, 'd'), a(400, 'a'), nul("O\0n\0e", 5); // a NUL, as in a list saved as UTF-16

TEST(LocationList, ALoadCutsLongLinesAndEndsTextsAtANulAndTheListAtCtrlZ) {
    EXPECT_EQ(Load(Lines("0003x", d, a, nul, "b", "\x1a", "C", "c")),
              string(199, 'd') + "=" + string(299, 'a') + ", O=b");
    freshStandIn.fail[standin::kAlloc] = {1};
    EXPECT_EQ(Load(Lines("1", "One", "a")), "not loaded; Halvorn: Out of memory (1030)\n");
    freshStandIn = {};
}

TEST(ListRewrite, AnAddComesFirstWithTheTypedTextsUpToALineBreak) {
    EXPECT_EQ(Edited(Lines("2", "One", "a", "Two", "b"), {.add = {"New\r\nX", "n\nY\x1aZ"}}),
              Lines("3", "New", "n", "One", "a", "Two", "b"));
    string full = "99\r\n";
    for (int i = 0; i < 99; ++i)
        full += Lines("x", "y");
    EXPECT_EQ(Edited(full, {.add = {"New", "n"}}), full + " (full)");
}

TEST(ListRewrite, ADeleteOrModifyTakesTheEntriesEqualInBothTexts) {
    EXPECT_EQ(Edited(Lines("3", "One", "a", "One", "c", "One", "c"), {.remove = {"One", "c"}}),
              Lines("2", "One", "a", "One", "c"))
        << "a delete, the first of them";
    EXPECT_EQ(Edited(Lines("2", "", "a", "Two", "b"), {.remove = {"", "a"}, .picked = true}),
              Lines("1", "Two", "b"))
        << "a picked entry without a description";
    const string old(199, 'o'), to(199, 'n'), address(299, 'x');
    EXPECT_EQ(Edited(Lines("4 x", d, a, old, address, "Two", "b", old, address),
                     {.modifyFrom = {old, address}, .modifyTo = {to, address}}),
              Lines("4 x", d, a, to, address, "Two", "b", to, address))
        << "a modify, of each; the count line and longer lines kept whole";
    const string longer = "1\nOne\n" + string(300, 'a') + "\n";
    EXPECT_EQ(Edited(longer, {.remove = {"One", string(299, 'a')}, .modifyFrom = {"One", "a"}}),
              longer)
        << "none there, as a longer line matches none: not a byte changes";
}

TEST(WindowPlace, TheFileNamesTheClientCornerOfAWindowKeptOnTheScreen) {
    EXPECT_EQ(Place("\t +7 px\r\n-12"), "corner 7, -12: window at 4, 1");
    EXPECT_EQ(Place("1234567890123\r\n24"), "corner 123456789, 24: window at 1, 0");
    EXPECT_EQ(Place("867\r\n733"), "corner 867, 733: window at 864, 1");
    Fresh();
    SaveWindowPosition(0xFFFFFFFB); // left -5, top -1
    EXPECT_EQ(Get("tarsel.ini"), "65531\r\n65535");
}

TEST(StartFile, TheFirstLineNamesTheEntryToLaunch) {
    EXPECT_EQ(Start("1"), "entry 0");
    EXPECT_EQ(Start("6"), "none");
    EXPECT_EQ(Start("105"), "entry 4, then the end");
}

TEST(Preferences, EachValueIsReadAsAtMostTwoCharacters) {
    EXPECT_EQ(Read("1\r\n", "10\r\n5"), "auto-dial 1, auto-disconnect 10, minutes 0");
    EXPECT_EQ(Read("0", "1\r\n120"), "auto-dial 0, auto-disconnect 1, minutes 12");
    EXPECT_EQ(Read("0", "(none)"), "auto-dial 41, auto-disconnect 42, minutes 43; "
                                   "Halvorn: Failed to open disc.inf - read (1030)\n");
}

TEST(Preferences, WritingStoresBothFilesAndShowsWhatFailed) {
    EXPECT_EQ(Written(standin::kOpenWrite, 2), "dial.inf: 1\r\n; disc.inf: (none); "
                                               "Halvorn: Failed to open disc.inf - write (1030)\n");
    EXPECT_EQ(Written(standin::kClose, 2), "dial.inf: 1\r\n; disc.inf: 0\r\n12\r\n; "
                                           "Halvorn: Failed to write disc.inf (1030)\n");
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
    freshStandIn.fail[standin::kRegSet] = {3, 4};
    EXPECT_EQ(Synced("-", 1, false), "EnableAutoDial=1\nEnableAutoDisconnect=1\n(still changed)");
    freshStandIn = {};
}

TEST(Browser, TheDefaultIconNamesTheBrowserAndTheProfileAConnection) {
    EXPECT_EQ(Browser("C:\\N\\NETSCAPE.EXE"), "Netscape");
    EXPECT_EQ(Browser(string("url.dll netscape.exe\0", 21)), "Netscape");
    EXPECT_EQ(Browser(string(2000, 'a')), "none; ERROR: Default Browser Not Supported:  (1040)\n");
    EXPECT_EQ(Browser("url.dll", "-"), "Internet Explorer; ERROR: no dial line entry:  (1040)\n");
    EXPECT_EQ(Browser("Netscape.exe", string("A\0", 2)),
              "none; ERROR: Default Browser Not Supported: Netscape.exe (1040)\n"
              "ERROR: no dial line entry: A (1040)\n");
    EXPECT_EQ(Browser("url.dll", string(200, 'P')), "Internet Explorer");
}

TEST(Launch, GoStartsTheBrowserOnTheSelectedAddress) {
    EXPECT_EQ(Go({.kind = kNetscape, .path = "C:\\N.EXE", .address = "http://a/"}),
              "exec C:\\N.EXE http://a/\n");
    const string blanks(1020, ' '), address(299, 'a'); // the longest path and address
    EXPECT_EQ(Go({.kind = kInternetExplorer, .path = "C:\\" + blanks, .address = address}),
              "exec \"C:\\" + blanks + "\" " + address + "\n");
    EXPECT_EQ(Go({.kind = kInternetExplorer, .address = "a", .startIndex = 2}),
              "ERROR: Failed to get Internet Explorer installation directory: File not found. "
              "(40)\nexec  a\nsleep 1500\n")
        << "no App Paths key; after a launch at start, a pause";
    EXPECT_EQ(Go({.address = "a", .selected = 1}), "") << "past the last entry";
    EXPECT_EQ(Go({.kind = kNetscape, .path = "x", .address = "a", .started = 0}),
              "exec x a\nERROR: Failed to start the browser: Error 8 (40)\n");
    EXPECT_EQ(Go({.address = "a", .started = 2}), "exec  a\n") << "no browser: no box";
}

TEST(IdleMinutes, TypedOrSteppedMinutesStayWithin3To59) {
    EXPECT_EQ(Typed("75", 1), "59 (59), changed");
    EXPECT_EQ(Typed("2", 1), "3 (3), changed");
    EXPECT_EQ(Typed("03", 1), "03 (3), changed") << "kept as typed";
    EXPECT_EQ(Typed("75", 0), "refused: 20 (20)") << "auto-disconnect off";
    EXPECT_EQ(Stepped(59, 1), "refused: 59 (59)");
    EXPECT_EQ(Stepped(3, -1), "refused: 3 (3)");
    EXPECT_EQ(Stepped(101, -1), "10 (100), changed");
}

} // namespace
