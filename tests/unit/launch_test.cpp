#include "app/browser.h"
#include "app/launch.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"

#include "test_folder.h"

#include <cstring>
#include <string>

namespace {

const char kDefaultIcon[] = "HKCR\\HTTP\\DefaultIcon";
const char kExplorerKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kSettings[] = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";
const std::vector<BYTE> kOff = {0, 0, 0, 0};
const std::vector<BYTE> kOn = {1, 0, 0, 0};

// Preference files asking for auto-dial, and a system where it is off: every synchronisation
// switches it on.
void SetUpConnection() {
    WriteFileBytes("dial.inf", "1\r\n");
    WriteFileBytes("disc.inf", "0\r\n10\r\n");
    standin::SetValue(kSettings, "EnableAutoDial", REG_BINARY, kOff);
    standin::SetValue(kSettings, "EnableAutoDisconnect", REG_BINARY, kOff);
    standin::SetStringValue("HKCU\\RemoteAccess", "InternetProfile", "My ISP");
    dialRegistryState = {0, 0};
}

class Launch : public InTestFolder {
  protected:
    void SetUp() override {
        InTestFolder::SetUp();
        StartIndex = 0;
        exitAfterLaunch = false;
        BrowserKind = kNoBrowser;
        memset(&mainTable, 0, sizeof mainTable);
        SetUpConnection();
    }
    void TearDown() override {
        FreeLocationTable(&mainTable);
        InTestFolder::TearDown();
    }
    void LoadList(const std::string& bytes) {
        WriteFileBytes("urls.txt", bytes);
        ASSERT_TRUE(LoadLocationList(&mainTable, "Failed to open URLS.TXT", true));
    }
    // Forgets what the stand-in recorded, and loads the list anew since the reset frees it.
    void ResetWithList(const std::string& bytes) {
        standin::Reset();
        memset(&mainTable, 0, sizeof mainTable);
        SetUpConnection();
        LoadList(bytes);
    }
    // One launch of entry selected, as "Go" makes it.
    bool Go(int selected) {
        PrepareLaunch();
        bool started = StartBrowserOn(&mainTable, selected);
        if (started)
            PauseAfterLaunch();
        return started;
    }
};

const char kTwoEntries[] = "2\r\nOne\r\nhttp://a/\r\nTwo\r\nhttp://b/\r\n";

TEST_F(Launch, TheStartFilesFirstLineIsReadFromAtMostFourCharacters) {
    const struct {
        const char* bytes;
        int value;
    } cases[] = {
        {"0\r\n", 0},
        {"", 0},
        {"\r\n3", 0},
        {"text\r\n", 0},
        {"1\r\n", 1},
        {"3", 3},
        {"101\r\n", 101},
        {"12345\r\n", 1234},
        {" 7\r\n", 7},
        {"-5\r\n", -5},
        {"2\r\n5\r\n", 2},
        {"9999", 9999},
        {"+42x", 42},
        {"\x1a"
         "5",
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteFileBytes("tarsel.inf", c.bytes);
        StartIndex = -99;
        ReadStartIndex();
        EXPECT_EQ(StartIndex, c.value);
    }
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(Launch, AMissingStartFileShowsItsBoxAndKeepsTheValue) {
    StartIndex = 7;
    ReadStartIndex();
    EXPECT_EQ(StartIndex, 7);
    ASSERT_EQ(standin::Boxes().size(), 1u);
    EXPECT_EQ(standin::Boxes()[0].text, "Failed to open tarsel.inf");
    EXPECT_EQ(standin::Boxes()[0].caption, "Halvorn");
    EXPECT_EQ(standin::Boxes()[0].flags, MB_ICONWARNING | MB_SYSTEMMODAL);
    EXPECT_EQ(standin::Boxes()[0].owner, nullptr);
}

TEST_F(Launch, TheStartValueNamesTheEntryOfTheStartUpLaunch) {
    const struct {
        int value;
        int count;
        bool launch;
        int entry;
        bool exits;
    } cases[] = {
        {0, 5, false, 0, false},
        {1, 5, true, 0, false},
        {3, 5, true, 2, false},
        {5, 5, true, 4, false},
        {99, 99, true, 98, false},
        {101, 5, true, 0, true},
        {102, 5, true, 1, true},
        {105, 5, true, 4, true},
        // Values that name no entry make no start-up launch.
        {6, 5, false, 0, false},
        {99, 5, false, 0, false},
        {100, 5, false, 0, false},
        {106, 5, false, 0, false},
        {9999, 5, false, 0, false},
        {-1, 5, false, 0, false},
        {1, 0, false, 0, false},
        {101, 0, false, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " of " + std::to_string(c.count));
        StartIndex = c.value;
        exitAfterLaunch = false;
        EXPECT_EQ(PrepareStartLaunch(c.count), c.launch);
        EXPECT_EQ(StartIndex, c.entry);
        EXPECT_EQ(exitAfterLaunch, c.exits);
    }
}

TEST_F(Launch, ExitAfterLaunchOnceSetStaysSet) {
    StartIndex = 101;
    ASSERT_TRUE(PrepareStartLaunch(2));
    StartIndex = 2;
    ASSERT_TRUE(PrepareStartLaunch(2));
    EXPECT_TRUE(exitAfterLaunch);
}

TEST_F(Launch, AnOlderSystemGetsTheWarningOwnedByTheWindowAndNoBrowserDetection) {
    standin::SetStringValue(kDefaultIcon, "", "url.dll,0");
    HWND window = reinterpret_cast<HWND>(0x1234);
    StartConnectionWork(window, 3);
    EXPECT_EQ(BrowserKind, kNoBrowser);
    ASSERT_EQ(standin::Boxes().size(), 1u);
    EXPECT_EQ(standin::Boxes()[0].text, "Available for Windows 95 only");
    EXPECT_EQ(standin::Boxes()[0].caption, "Tarsel");
    EXPECT_EQ(standin::Boxes()[0].flags, MB_ICONWARNING | MB_SYSTEMMODAL);
    EXPECT_EQ(standin::Boxes()[0].owner, window);
    EXPECT_TRUE(standin::RegistryWrites().empty());

    standin::ClearBoxes();
    StartConnectionWork(window, 4);
    EXPECT_EQ(BrowserKind, kInternetExplorer);
    EXPECT_TRUE(standin::Boxes().empty());
    EXPECT_EQ(standin::Value(kSettings, "EnableAutoDial"), kOn);
}

TEST_F(Launch, GoRunsThePathOneBlankAndTheSelectedAddress) {
    LoadList(kTwoEntries);
    const struct {
        int kind;
        const char* path; // nullptr: no App Paths key
        const char* command;
    } cases[] = {
        {kInternetExplorer, "C:\\IE\\IEXPLORE.EXE", "C:\\IE\\IEXPLORE.EXE http://b/"},
        {kInternetExplorer, "C:\\Program Files\\IE\\IEXPLORE.EXE",
         "\"C:\\Program Files\\IE\\IEXPLORE.EXE\" http://b/"},
        {kNoBrowser, "C:\\IE\\IEXPLORE.EXE", " http://b/"},
        {kInternetExplorer, nullptr, " http://b/"}, // after the lookup's box
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        ResetWithList(kTwoEntries);
        if (c.path)
            standin::SetStringValue(kExplorerKey, "", c.path);
        BrowserKind = c.kind;
        EXPECT_TRUE(Go(1));
        ASSERT_EQ(standin::Executed().size(), 1u);
        EXPECT_EQ(standin::Executed()[0], c.command);
        EXPECT_EQ(standin::Boxes().size(), c.path ? 0u : 1u);
        // The browser starts under the settings just carried into the registry.
        EXPECT_EQ(standin::Value(kSettings, "EnableAutoDial"), kOn);
    }
}

TEST_F(Launch, EachLaunchStartsAFreshCommandLine) {
    LoadList(kTwoEntries);
    standin::SetStringValue(kExplorerKey, "", "C:\\IE\\IEXPLORE.EXE");
    BrowserKind = kNoBrowser;
    Go(1);
    Go(0);
    BrowserKind = kInternetExplorer;
    Go(1);
    Go(1);
    EXPECT_EQ(standin::Executed(), (std::vector<std::string>{" http://b/", " http://a/",
                                                             "C:\\IE\\IEXPLORE.EXE http://b/",
                                                             "C:\\IE\\IEXPLORE.EXE http://b/"}));
}

TEST_F(Launch, NoSelectedEntryLaunchesNothing) {
    LoadList(kTwoEntries);
    for (int selected : {-1, 2, 1000})
        EXPECT_FALSE(Go(selected));
    FreeLocationTable(&mainTable);
    EXPECT_FALSE(Go(0));
    LoadList("0\r\n");
    EXPECT_FALSE(Go(0));
    EXPECT_TRUE(standin::Executed().empty());
    EXPECT_TRUE(standin::Sleeps().empty());
}

TEST_F(Launch, LaunchesPauseWhileTheStartUpLaunchWasOfAnEntryButTheFirst) {
    LoadList(kTwoEntries);
    const struct {
        int startValue;
        size_t sleeps;
    } cases[] = {
        {0, 0}, {1, 0}, {2, 2}, {101, 0}, {102, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.startValue);
        ResetWithList(kTwoEntries);
        StartIndex = c.startValue;
        if (c.startValue)
            ASSERT_TRUE(PrepareStartLaunch(mainTable.count));
        Go(StartIndex); // the start-up launch
        Go(0);          // a later one
        EXPECT_EQ(standin::Sleeps(), std::vector<DWORD>(c.sleeps, 1500));
    }
}

} // namespace
