// The start file "tarsel.inf": a launch at start, optionally hidden and ending after it.
#include "tests/e2e/main_window_steps.h"

namespace {
using namespace e2e;

using TheStartFile = Scenario;

// Whether a main window of the program was ever visible before the program ended.
bool ShownBeforeTheEnd(DWORD processId, const std::function<bool()>& running) {
    struct Search {
        DWORD processId;
        bool shown;
    } search = {processId, false};
    WaitUntil([&] {
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                Search& search = *reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == search.processId && ClassOf(window) == "dia1" &&
                    IsWindowVisible(window))
                    search.shown = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return !running();
    });
    return search.shown;
}

class TheStartFileHidden : public Scenario {
  protected:
    bool ShownBeforeTheEnd() {
        return ::ShownBeforeTheEnd(ProcessId(), [this] { return Running(); });
    }
};

std::vector<Location> FiveLocations() {
    return NumberedLocations(5);
}

TEST_F(TheStartFile, WithNoLeadingNumberShowsTheFirstEntryAndLaunchesNothing) {
    TypicalStart();
    for (const char* bytes : {"0\r\n", "\r\n", "", "text\r\n", "x7\r\n"}) {
        SCOPED_TRACE(Escaped(bytes));
        RemoveFile("browser.log");
        PutFile("tarsel.inf", bytes);
        Start();
        HWND window = MainWindow();
        ExpectVisible(window);
        ExpectComboSelection(Item(window, IDC_MAIN_PICKER), 0);
        // A start-up launch would have come before this one.
        Click(Item(window, IDC_MAIN_GO));
        ExpectLaunches({"\"" + BrowserPath() + "\" http://a/"});
        Close();
        ExpectExit(0);
        ExpectNoBoxes();
    }
}

TEST_F(TheStartFile, OneLaunchesTheFirstEntryAtStartAndNoLaunchPauses) {
    TypicalStart();
    PutFile("tarsel.inf", StartFile("1"));
    Start();
    HWND window = MainWindow();
    std::string browser = "\"" + BrowserPath() + "\"";
    ExpectLaunches({browser + " http://a/"});
    ExpectVisible(window);
    ExpectComboSelection(Item(window, IDC_MAIN_PICKER), 0);

    Select(Item(window, IDC_MAIN_PICKER), 1);
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({browser + " http://a/", browser + " http://b/"});
    EXPECT_LT(MillisecondsUntilAnswer(window), 1000u);
    ExpectNoBoxes();
}

TEST_F(TheStartFile, ThreeLaunchesTheThirdEntryAtStartAndEveryLaunchPauses) {
    TypicalStart();
    PutFile("urls.txt", ListFile(FiveLocations()));
    PutFile("tarsel.inf", StartFile("3"));
    Start();
    HWND window = MainWindow();
    std::string browser = "\"" + BrowserPath() + "\"";
    ExpectLaunches({browser + " http://3/"});
    ExpectVisible(window);
    HWND picker = Item(window, IDC_MAIN_PICKER);
    ExpectComboSelection(picker, 2);

    Select(picker, 0);
    DWORD clicked = GetTickCount();
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({browser + " http://3/", browser + " http://1/"});
    MillisecondsUntilAnswer(window);
    EXPECT_GE(GetTickCount() - clicked, 1500u) << "the window answered before the pause ended";
    ExpectNoBoxes();
}

TEST_F(TheStartFileHidden, Of101LaunchesTheFirstEntryNeverShowsTheWindowAndEnds) {
    TypicalStart();
    PutFile("tarsel.inf", StartFile("101"));
    Start();
    EXPECT_FALSE(ShownBeforeTheEnd());
    ExpectExit(0);
    ExpectLaunches({"\"" + BrowserPath() + "\" http://a/"});
    ExpectNoBoxes();
}

TEST_F(TheStartFileHidden, Of102LaunchesTheSecondEntryAndEndsAfterThePause) {
    TypicalStart();
    PutFile("tarsel.inf", StartFile("102"));
    DWORD started = GetTickCount();
    Start();
    EXPECT_FALSE(ShownBeforeTheEnd());
    ExpectExit(0);
    EXPECT_GE(GetTickCount() - started, 1500u) << "the program ended before the pause";
    ExpectLaunches({"\"" + BrowserPath() + "\" http://b/"});
    ExpectNoBoxes();
}

TEST_F(TheStartFileHidden, CountsOnlyTheFirstFourCharacters) {
    TypicalStart();
    // Read as 0102: the second entry, hidden. Read whole, 1025 would name no entry.
    PutFile("tarsel.inf", StartFile("01025"));
    Start();
    EXPECT_FALSE(ShownBeforeTheEnd());
    ExpectExit(0);
    ExpectLaunches({"\"" + BrowserPath() + "\" http://b/"});
    ExpectNoBoxes();
}

TEST_F(TheStartFile, NamingNoEntryLaunchesNothingAndShowsTheFirstEntry) {
    TypicalStart();
    for (const char* value : {"3", "99", "-1"}) {
        SCOPED_TRACE(value);
        RemoveFile("browser.log");
        PutFile("tarsel.inf", StartFile(value));
        Start();
        HWND window = MainWindow();
        ExpectVisible(window);
        ExpectComboSelection(Item(window, IDC_MAIN_PICKER), 0);
        // With no start-up launch, no launch pauses.
        Click(Item(window, IDC_MAIN_GO));
        ExpectLaunches({"\"" + BrowserPath() + "\" http://a/"});
        EXPECT_LT(MillisecondsUntilAnswer(window), 1000u);
        Close();
        ExpectExit(0);
    }
    ExpectNoBoxes();
}

TEST_F(TheStartFileHidden, NamingNoEntryEndsTheProgramUnseenWithoutALaunch) {
    TypicalStart();
    for (const char* value : {"100", "103", "12345"}) {
        SCOPED_TRACE(value);
        PutFile("tarsel.inf", StartFile(value));
        Start();
        EXPECT_FALSE(ShownBeforeTheEnd());
        ExpectExit(0);
    }
    // One launch to show that none came before it.
    PutFile("tarsel.inf", StartFile("0"));
    Start();
    ExpectVisible(MainWindow());
    Click(Item(MainWindow(), IDC_MAIN_GO));
    ExpectLaunches({"\"" + BrowserPath() + "\" http://a/"});
    ExpectNoBoxes();
}

TEST_F(TheStartFile, MissingShowsItsBoxTwiceAtStartAndLaunchesNothing) {
    TypicalStart();
    RemoveFile("tarsel.inf");
    Start();
    HWND window = MainWindow();
    ExpectBoxes(
        {{"Halvorn", "Failed to open tarsel.inf"}, {"Halvorn", "Failed to open tarsel.inf"}});
    ExpectVisible(window);
    ExpectComboSelection(Item(window, IDC_MAIN_PICKER), 0);
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({"\"" + BrowserPath() + "\" http://a/"});
    ExpectNoBoxes();
}

} // namespace
