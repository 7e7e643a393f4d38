// The picker, "Go" and the default browser: what the recording browser receives.
#include "tests/e2e/main_window_steps.h"

namespace {
using namespace e2e;

using ThePicker = Scenario;
using Go = Scenario;
using TheDefaultBrowser = Scenario;

const char kNotSupported[] = "ERROR: Default Browser Not Supported";

TEST_F(ThePicker, ListsTheDescriptionsInFileOrderWithTheFirstSelected) {
    TypicalStart();
    PutFile("urls.txt", ListFile({{"Zeta", "http://z/"},
                                  {"Alpha", "http://a/"},
                                  {" Mid with blanks ", "http://m/"}}));
    Start();
    HWND picker = ExpectFilledPicker(MainWindow(), {"Zeta", "Alpha", " Mid with blanks "});
    ExpectComboSelection(picker, 0);
    ExpectNoBoxes();
}

TEST_F(Go, RunsTheQuotedBrowserPathABlankAndTheSelectedAddress) {
    TypicalStart();
    ASSERT_NE(BrowserPath().find(' '), std::string::npos);
    Start();
    HWND window = MainWindow();
    Select(ExpectFilledPicker(window, TypicalDescriptions()), 1);
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({"\"" + BrowserPath() + "\" http://b/"});
    // The same entry again gives the same command line.
    Click(Item(window, IDC_MAIN_GO));
    ExpectLaunches({"\"" + BrowserPath() + "\" http://b/", "\"" + BrowserPath() + "\" http://b/"});
    ExpectRunning();
    ExpectNoBoxes();
}

// Without a browser the command line is one blank and the address (the unit tests check its
// bytes). Wine's process start finds no program name in a line that begins with a blank, so here
// nothing starts, and nothing is reported.
TEST_F(Go, WithoutASupportedBrowserStartsNothingAndShowsNoBox) {
    TypicalStart();
    SetRegString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", "C:\\Other\\browser.exe,0");
    Start();
    HWND window = MainWindow();
    ExpectBoxes({{kNotSupported, "C:\\Other\\browser.exe,0"}});
    // The box comes while the window is made; its controls follow.
    ExpectVisible(window);
    Click(Item(window, IDC_MAIN_GO));
    Click(Item(window, IDC_MAIN_GO));
    // Posted after the clicks, so handled after them.
    Close();
    ExpectExit(0);
    EXPECT_TRUE(BrowserLaunches().empty());
    ExpectNoBoxes();
}

TEST_F(TheDefaultBrowser, IsTheFirstNameTheDefaultIconTextHoldsInItsExactCase) {
    TypicalStart();
    std::string netscape = InstallBrowser("Netscape\\netscape.exe");
    std::string explorer = InstallBrowser("Program Files\\Internet Explorer\\iexplore.exe");
    SetRegString(HKEY_LOCAL_MACHINE, kNetscapePath, "", netscape);
    SetRegString(HKEY_LOCAL_MACHINE, kIePath, "", explorer);

    const struct {
        const char* defaultIcon;
        const std::string* browser; // nullptr: no browser, after the box, and no launch
    } cases[] = {
        {"C:\\NETSCAPE\\PROGRAM\\NETSCAPE.EXE,0", &netscape},
        {"c:\\netscape\\netscape.exe,0", &netscape},
        {"C:\\WINDOWS\\SYSTEM\\URL.DLL,0", &explorer},
        {"%SystemRoot%\\system32\\url.dll,0", &explorer},
        {"url.dll next to netscape.exe", &netscape},
        {"C:\\Netscape\\Netscape.exe,0", nullptr},
    };
    std::vector<std::string> launches;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.defaultIcon);
        SetRegString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", c.defaultIcon);
        Start();
        HWND window = MainWindow();
        if (!c.browser)
            ExpectBoxes({{kNotSupported, c.defaultIcon}});
        ExpectVisible(window);
        Click(Item(window, IDC_MAIN_GO));
        if (c.browser)
            launches.push_back(OnCommandLine(*c.browser) + " http://a/");
        Close();
        ExpectExit(0);
        ExpectLaunches(launches);
        ExpectNoBoxes();
    }
}

TEST_F(TheDefaultBrowser, NotRegisteredShowsTheSystemsReasonAndLaunchesNoBrowser) {
    TypicalStart();
    DeleteRegKey(HKEY_CLASSES_ROOT, kHttpDefaultIcon);
    Start();
    std::vector<Box> boxes =
        ExpectBoxes({{"ERROR: open default browser failed", SystemText(ERROR_FILE_NOT_FOUND)}});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_FALSE(boxes[0].topmost);
    ExpectVisible(MainWindow());
    Click(Item(MainWindow(), IDC_MAIN_GO));
    Close();
    ExpectExit(0);
    EXPECT_TRUE(BrowserLaunches().empty());
    ExpectNoBoxes();
}

TEST_F(TheDefaultBrowser, WithoutItsAppPathsKeyShowsTheSystemsReasonAtEveryLaunch) {
    TypicalStart();
    const struct {
        const char* defaultIcon;
        const char* appPaths;
        const char* caption;
    } cases[] = {
        {"C:\\NETSCAPE\\NETSCAPE.EXE,0", kNetscapePath,
         "ERROR: Failed to get Netscape installation directory"},
        {"C:\\WINDOWS\\SYSTEM\\url.dll,0", kIePath,
         "ERROR: Failed to get Internet Explorer installation directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        SetRegString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", c.defaultIcon);
        DeleteRegKey(HKEY_LOCAL_MACHINE, c.appPaths);
        Start();
        ExpectVisible(MainWindow());
        HWND go = Item(MainWindow(), IDC_MAIN_GO);
        for (int launch = 0; launch < 2; ++launch) {
            Click(go);
            std::vector<Box> boxes = ExpectBoxes({{c.caption, SystemText(ERROR_FILE_NOT_FOUND)}});
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].owner, nullptr);
            EXPECT_FALSE(boxes[0].topmost);
        }
        Close();
        ExpectExit(0);
        // The launch went on without the path, which starts nothing here (see above).
        EXPECT_TRUE(BrowserLaunches().empty());
    }
}

} // namespace
