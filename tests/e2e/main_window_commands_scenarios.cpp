// The main window's commands: the About box, the commands that end the program or do nothing,
// and the list that is too long to load.
#include "tests/e2e/main_window_steps.h"

namespace {
using namespace e2e;

using TheAboutBox = Scenario;
using TheMainWindowsCommands = Scenario;

TEST_F(TheAboutBox, OpensFromTheSystemMenuAndClosesByOkEnterOrEscape) {
    TypicalStart();
    Start();
    HWND window = MainWindow();
    ExpectVisible(window);
    const struct {
        const char* how;
        void (*close)(HWND about);
    } cases[] = {
        {"OK", [](HWND about) { Click(GetDlgItem(about, IDC_ABOUT_OK)); }},
        {"Enter", [](HWND about) { PostMessageA(about, WM_KEYDOWN, VK_RETURN, 0); }},
        {"Escape", [](HWND about) { PostMessageA(about, WM_KEYDOWN, VK_ESCAPE, 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        SysCommand(window, IDM_ABOUT);
        HWND about = WaitDialog("About...");
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(GetWindow(about, GW_OWNER), window);
        ExpectText(Item(about, IDC_ABOUT_TITLE), "Halvorn's Tarsel");
        // The main window takes no input while the box is open.
        ExpectEnabled(window, false);
        c.close(about);
        ExpectGone(about);
        ExpectEnabled(window, true);
    }
    ExpectRunning();
    Close();
    ExpectExit(0);
    ExpectNoBoxes();
}

TEST_F(TheMainWindowsCommands, CommandOneEndsTheProgramAsClosingDoes) {
    TypicalStart();
    Start();
    PostCommand(MainWindow(), IDOK);
    ExpectExit(0);
    ExpectNoBoxes();
}

TEST_F(TheMainWindowsCommands, OnlyAClickOfGoLaunches) {
    TypicalStart();
    Start();
    HWND window = MainWindow();
    HWND picker = ExpectFilledPicker(window, TypicalDescriptions());
    // The picker's selection change, and Go's id with a notification code other than a click.
    Select(picker, 1);
    PostCommand(window, MAKEWPARAM(IDC_MAIN_GO, BN_DBLCLK));
    PostCommand(window, MAKEWPARAM(IDC_MAIN_PICKER, CBN_SELCHANGE));
    PostCommand(window, MAKEWPARAM(IDOK, BN_DBLCLK));
    // A launch made by any of them would come before this one.
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({"\"" + BrowserPath() + "\" http://b/"});
    ExpectRunning();
    ExpectNoBoxes();
}

TEST_F(TheMainWindowsCommands, AListOfTheLimitShowsItsBoxAndEndsWithExitCodeZero) {
    TypicalStart();
    PutFile("urls.txt", ListFile(NumberedLocations(100)));
    Start();
    ExpectBoxes({{"Maximum Locations", "Location limit is 99."}});
    ExpectExit(0);
    EXPECT_TRUE(BrowserLaunches().empty());
}

TEST_F(TheMainWindowsCommands, AListJustBelowTheLimitFillsThePicker) {
    TypicalStart();
    std::vector<Location> locations = NumberedLocations(99);
    PutFile("urls.txt", ListFile(locations));
    Start();
    std::vector<std::string> descriptions;
    for (const Location& location : locations)
        descriptions.push_back(location.description);
    ExpectFilledPicker(MainWindow(), descriptions);
    ExpectNoBoxes();
}

} // namespace
