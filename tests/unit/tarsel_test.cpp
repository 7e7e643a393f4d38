// The rules of the files, the registry and the launch, case by case: the input as the file or
// the registry holds it, and in words what came of it.
#include "tests/unit/rules.h"

#include <gtest/gtest.h>

namespace {

// The program ends itself at the location limit: a test that ends it so has failed.
const int endedInTest =
    (testing::UnitTest::GetInstance(),
     atexit([] { testing::UnitTest::GetInstance()->current_test_info() ? _exit(1) : void(); }));

const string kTwo = Lines("2", "One", "http://a/", "Two", "http://b/");

TEST(LocationList, ALoadTakesTheEntriesThatTheCountNamesUpToTheEnd) {
    EXPECT_EQ(Load(Lines("00012", "One", "a", "Two", "b")), "One=a") << "count of 4 characters";
    EXPECT_EQ(Load(Lines("3", "", "a", "Two", "\x1a", "b")), "=a, Two=") << "Ctrl-Z ends it";
}

TEST(LocationList, LongLinesAreCutAndANulEndsTheTextNotTheLine) {
    const string nul("O\0n\0e", 5); // as in a list saved as UTF-16
    EXPECT_EQ(Load(Lines("2", string(250, 'd'), string(400, 'a'), nul, "b")),
              string(199, 'd') + "=" + string(299, 'a') + ", O=b");
}

TEST(LocationList, ShortMemoryFailsTheLoadWithABox) {
    freshStandIn.fail[standin::kAlloc] = {1};
    EXPECT_EQ(Load(Lines("1", "One", "a")), "not loaded; Halvorn: Out of memory (1030)\n");
    freshStandIn = {};
}

TEST(ListRewrite, AnAddComesFirstWithTheTypedTextsUpToALineBreak) {
    EXPECT_EQ(Edited(kTwo, {.add = {"New", "http://n/"}}),
              Lines("3", "New", "http://n/", "One", "http://a/", "Two", "http://b/"));
    EXPECT_EQ(Edited(Lines("0"), {.add = {"New\r\nX", "http://n/\nY\x1aZ"}}),
              Lines("1", "New", "http://n/"));
    EXPECT_EQ(Edited(Lines("00012", "One", "a", "Two", "b"), {.add = {"New", "n"}}),
              Lines("2", "New", "n", "One", "a"))
        << "the entries the count names";
    string full = "99\r\n";
    for (int i = 0; i < 99; ++i)
        full += Lines("x", "y");
    EXPECT_EQ(Edited(full, {.add = {"New", "n"}}), full + " (full)");
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
    const string longer = "1\nOne\n" + string(300, 'a') + "\n";
    EXPECT_EQ(Edited(longer, {.remove = {"One", string(299, 'a')}, .modifyFrom = {"One", "a"}}),
              longer)
        << "a line longer than an address matches none: not a byte changes";
}

TEST(ListRewrite, LongLinesAndTheWidestTextsAreWrittenWhole) {
    const string d(250, 'd'), a(9000, 'a'), old(199, 'o'), address(299, 'x'), to(199, 'n');
    EXPECT_EQ(Edited(Lines("2", d, a, old, address),
                     {.modifyFrom = {old, address}, .modifyTo = {to, address}}),
              Lines("2", d, a, to, address));
}

TEST(WindowPlace, TheFileNamesTheClientCornerOfAWindowKeptOnTheScreen) {
    EXPECT_EQ(Place("\t +7 px\r\n-12"), "corner 7, -12: window at 4, 1");
    EXPECT_EQ(Place("1234567890123\r\n50"), "corner 123456789, 50: window at 1, 26");
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
    EXPECT_EQ(Written(standin::kWrite, 1), "dial.inf: ; disc.inf: 0\r\n12\r\n; "
                                           "Halvorn: Failed to write dial.inf (1030)\n");
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
}

TEST(DialRegistry, WhatTheRegistryRefusesIsShownOrWrittenAgain) {
    freshStandIn.fail[standin::kRegSet] = {3, 4};
    EXPECT_EQ(Synced("-", 1, false), "EnableAutoDial=1\nEnableAutoDisconnect=1\n(still changed)");
    freshStandIn = {};
    Fresh();
    SyncAutoDial();
    EXPECT_EQ(s.log, "ERROR: open auto dial failed(registry): File not found. (40)\n");
}

TEST(Browser, TheDefaultIconNamesTheBrowser) {
    EXPECT_EQ(Browser("C:\\N\\NETSCAPE.EXE"), "Netscape");
    EXPECT_EQ(Browser(string("url.dll netscape.exe\0", 21)), "Netscape");
    EXPECT_EQ(Browser("Netscape.exe"),
              "none; ERROR: Default Browser Not Supported: Netscape.exe (1040)\n");
    EXPECT_EQ(Browser(string(2000, 'a')), "none; ERROR: Default Browser Not Supported:  (1040)\n");
}

TEST(Browser, AProfileNameOfTwoCharactersOrMoreNamesAConnection) {
    const string url = "url.dll";
    EXPECT_EQ(Browser(url, "-"), "Internet Explorer; ERROR: no dial line entry:  (1040)\n");
    EXPECT_EQ(Browser(url, string("A\0", 2)),
              "Internet Explorer; ERROR: no dial line entry: A (1040)\n");
    EXPECT_EQ(Browser(url, string(200, 'P')), "Internet Explorer");
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

TEST(Launch, ABrowserPathWithABlankIsQuotedAndUsedWholeOrNotAtAll) {
    char command[16] = "";
    EXPECT_FALSE(SetBrowserPath(command, 12, "a b c d ef"));
    EXPECT_STREQ(command, "");
    EXPECT_TRUE(SetBrowserPath(command, 6, "\"a b\""));
    EXPECT_STREQ(command, "\"a b\"");
}

TEST(IdleMinutes, TypedMinutesAreTakenAsTwoCharactersWithin3To59) {
    EXPECT_EQ(Typed("75", 1), "59 (59), changed");
    EXPECT_EQ(Typed("2", 1), "3 (3), changed");
    EXPECT_EQ(Typed("03", 1), "03 (3), changed") << "kept as typed";
    EXPECT_EQ(Typed("75", 0), "refused: 20 (20)") << "auto-disconnect off";
}

TEST(IdleMinutes, TheSpinStepsWithin3To59) {
    EXPECT_EQ(Stepped(59, 1), "refused: 59 (59)");
    EXPECT_EQ(Stepped(3, -1), "refused: 3 (3)");
    EXPECT_EQ(Stepped(101, -1), "10 (100), changed");
}

} // namespace
