#include "app/browser.h"

#include "test_folder.h"

#include <cstring>
#include <string>

namespace {

const char kDefaultIcon[] = "HKCR\\HTTP\\DefaultIcon";
const char kNetscapeKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";
const char kExplorerKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kNotSupported[] = "ERROR: Default Browser Not Supported";

class Browser : public InTestFolder {
  protected:
    void SetUp() override {
        InTestFolder::SetUp();
        BrowserKind = kNoBrowser;
        strcpy(LaunchCommand, "left over");
    }
};

void ExpectOneBox(const std::string& text, const std::string& caption, UINT flags, int line) {
    SCOPED_TRACE(line);
    ASSERT_EQ(standin::Boxes().size(), 1u);
    const standin::Box& box = standin::Boxes()[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, caption);
    EXPECT_EQ(box.flags, flags);
    EXPECT_EQ(box.owner, nullptr);
}

TEST_F(Browser, ClassifiesTheDefaultIconTextCaseSensitivelyInTestOrder) {
    const struct {
        const char* text;
        int kind;
    } cases[] = {
        {"C:\\NETSCAPE\\PROGRAM\\NETSCAPE.EXE,0", kNetscape},
        {"c:\\program files\\netscape\\netscape.exe,0", kNetscape},
        {"C:\\WINDOWS\\SYSTEM\\URL.DLL,0", kInternetExplorer},
        {"%SystemRoot%\\system32\\url.dll,0", kInternetExplorer},
        {"url.dll and netscape.exe", kNetscape},
        {"URL.DLL before NETSCAPE.EXE", kNetscape},
        {"NETSCAPE.EXEC", kNetscape},
        {"Netscape.exe,0", kNoBrowser},
        {"Url.Dll", kNoBrowser},
        {"C:\\Program Files\\Mozilla Firefox\\firefox.exe,1", kNoBrowser},
        {"", kNoBrowser},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        standin::ClearBoxes();
        EXPECT_EQ(ClassifyBrowser(c.text), c.kind);
        if (c.kind == kNoBrowser)
            ExpectOneBox(c.text, kNotSupported, MB_ICONINFORMATION | MB_SYSTEMMODAL, __LINE__);
        else
            EXPECT_TRUE(standin::Boxes().empty());
    }
}

TEST_F(Browser, DetectionSetsTheKindOfTheDefaultIconValue) {
    const struct {
        std::vector<BYTE> data;
        int kind;
        const char* boxText; // nullptr: no box
    } cases[] = {
        {{'u', 'r', 'l', '.', 'd', 'l', 'l', 0}, kInternetExplorer, nullptr},
        // Stored without a terminator: the text still ends where the data does.
        {{'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '.', 'E', 'X', 'E'}, kNetscape, nullptr},
        {{'x', 0}, kNoBrowser, "x"},
        {{}, kNoBrowser, ""},
    };
    for (const auto& c : cases) {
        standin::Reset();
        BrowserKind = kNoBrowser;
        standin::SetValue(kDefaultIcon, "", REG_SZ, c.data);
        EXPECT_EQ(DetectDefaultBrowser(), c.kind != kNoBrowser ? 1 : 0);
        EXPECT_EQ(BrowserKind, c.kind);
        if (c.boxText)
            ExpectOneBox(c.boxText, kNotSupported, MB_ICONINFORMATION | MB_SYSTEMMODAL, __LINE__);
        else
            EXPECT_TRUE(standin::Boxes().empty());
        EXPECT_EQ(standin::OpenKeys(), 0);
    }
}

TEST_F(Browser, AMissingOrOverLongDefaultIconValueReadsAsEmptyText) {
    standin::CreateKey(kDefaultIcon);
    EXPECT_EQ(DetectDefaultBrowser(), 0);
    ExpectOneBox("", kNotSupported, MB_ICONINFORMATION | MB_SYSTEMMODAL, __LINE__);

    standin::ClearBoxes();
    standin::SetStringValue(kDefaultIcon, "", std::string(2000, 'a') + "url.dll");
    EXPECT_EQ(DetectDefaultBrowser(), 0);
    ExpectOneBox("", kNotSupported, MB_ICONINFORMATION | MB_SYSTEMMODAL, __LINE__);
}

TEST_F(Browser, AKeyThatCannotBeOpenedShowsTheSystemsReasonAndKeepsNoBrowser) {
    EXPECT_EQ(DetectDefaultBrowser(), 0);
    ExpectOneBox("The system cannot find the file specified.\r\n",
                 "ERROR: open default browser failed", MB_ICONINFORMATION, __LINE__);
    EXPECT_EQ(BrowserKind, kNoBrowser);

    standin::ClearBoxes();
    standin::SetStringValue(kDefaultIcon, "", "url.dll");
    standin::FailKeyOpen(kDefaultIcon, ERROR_ACCESS_DENIED);
    EXPECT_EQ(DetectDefaultBrowser(), 0);
    ExpectOneBox("Access is denied.\r\n", "ERROR: open default browser failed", MB_ICONINFORMATION,
                 __LINE__);
    EXPECT_EQ(BrowserKind, kNoBrowser);
}

TEST_F(Browser, ThePathComesFromTheKindsAppPathsKeyQuotedWhenItHoldsABlank) {
    const struct {
        int kind;
        const char* key;
        const char* value;
        const char* command;
    } cases[] = {
        {kNetscape, kNetscapeKey, "C:\\NETSCAPE\\NETSCAPE.EXE", "C:\\NETSCAPE\\NETSCAPE.EXE"},
        {kInternetExplorer, kExplorerKey, "C:\\PROGRA~1\\IE\\IEXPLORE.EXE",
         "C:\\PROGRA~1\\IE\\IEXPLORE.EXE"},
        {kInternetExplorer, kExplorerKey, "C:\\Program Files\\IE\\IEXPLORE.EXE",
         "\"C:\\Program Files\\IE\\IEXPLORE.EXE\""},
        {kInternetExplorer, kExplorerKey, "\"C:\\Program Files\\IE\\IEXPLORE.EXE\"",
         "\"C:\\Program Files\\IE\\IEXPLORE.EXE\""},
        {kNetscape, kNetscapeKey, "C:\\Net\tscape.exe", "\"C:\\Net\tscape.exe\""},
        {kNetscape, kNetscapeKey, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        standin::Reset();
        standin::SetStringValue(c.key, "", c.value);
        strcpy(LaunchCommand, "left over");
        EXPECT_EQ(LookUpBrowserPath(c.kind), 1);
        EXPECT_STREQ(LaunchCommand, c.command);
        EXPECT_TRUE(standin::Boxes().empty());
        EXPECT_EQ(standin::OpenKeys(), 0);
    }
}

TEST_F(Browser, APathIsTakenWholeOrNotAtAll) {
    std::string longest = "C:\\" + std::string(kMaxBrowserPath - 3, 'p');
    standin::SetStringValue(kExplorerKey, "", longest);
    LookUpBrowserPath(kInternetExplorer);
    EXPECT_EQ(LaunchCommand, longest);

    standin::SetStringValue(kExplorerKey, "", longest + "q");
    LookUpBrowserPath(kInternetExplorer);
    EXPECT_STREQ(LaunchCommand, "");

    // The same two lengths stored without a terminator.
    standin::SetValue(kExplorerKey, "", REG_SZ, std::vector<BYTE>(longest.begin(), longest.end()));
    LookUpBrowserPath(kInternetExplorer);
    EXPECT_EQ(LaunchCommand, longest);
    longest += "q";
    standin::SetValue(kExplorerKey, "", REG_SZ, std::vector<BYTE>(longest.begin(), longest.end()));
    LookUpBrowserPath(kInternetExplorer);
    EXPECT_STREQ(LaunchCommand, "");
    EXPECT_TRUE(standin::Boxes().empty());

    // The quotes do not count against the longest path.
    std::string blanks = "C:\\" + std::string(kMaxBrowserPath - 3, ' ');
    standin::SetStringValue(kExplorerKey, "", blanks);
    LookUpBrowserPath(kInternetExplorer);
    EXPECT_EQ(LaunchCommand, "\"" + blanks + "\"");
}

TEST_F(Browser, AFailedPathLookupShowsItsBrowsersCaptionAndLeavesTheCommandEmpty) {
    const struct {
        int kind;
        const char* key;
        const char* caption;
    } cases[] = {
        {kNetscape, kNetscapeKey, "ERROR: Failed to get Netscape installation directory"},
        {kInternetExplorer, kExplorerKey,
         "ERROR: Failed to get Internet Explorer installation directory"},
    };
    for (const auto& c : cases) {
        standin::Reset();
        strcpy(LaunchCommand, "left over");
        EXPECT_EQ(LookUpBrowserPath(c.kind), 1);
        EXPECT_STREQ(LaunchCommand, "");
        ExpectOneBox("The system cannot find the file specified.\r\n", c.caption,
                     MB_ICONINFORMATION, __LINE__);

        standin::Reset();
        standin::SetStringValue(c.key, "", "C:\\b.exe");
        standin::FailKeyOpen(c.key, ERROR_ACCESS_DENIED);
        EXPECT_EQ(LookUpBrowserPath(c.kind), 1);
        ExpectOneBox("Access is denied.\r\n", c.caption, MB_ICONINFORMATION, __LINE__);
    }
}

TEST_F(Browser, NoPathIsLookedUpWithoutASupportedBrowser) {
    standin::SetStringValue(kNetscapeKey, "", "C:\\n.exe");
    standin::SetStringValue(kExplorerKey, "", "C:\\i.exe");
    for (int kind : {0, 3, -1}) {
        strcpy(LaunchCommand, "left over");
        EXPECT_EQ(LookUpBrowserPath(kind), 0);
        EXPECT_STREQ(LaunchCommand, "");
    }
    EXPECT_TRUE(standin::Boxes().empty());
}

TEST_F(Browser, TheCommandLineIsBuiltWholeOrNotAtAll) {
    char command[12];
    const struct {
        const char* path;
        const char* address;
        bool fits;
        const char* result;
    } cases[] = {
        {"b.exe", "http", true, "b.exe http"},
        {"b.exe", "http:", true, "b.exe http:"}, // 11 characters and the NUL
        {"b.exe", "http:/", false, "b.exe"},     // one more does not fit
        {"", "http://a/", true, " http://a/"},   // no browser: one blank and the address
        {"a b", "x", true, "\"a b\" x"},
        {"a b c d e f", "", false, ""},            // quoted, the path alone is too long
        {"abcdefghijk", "", false, "abcdefghijk"}, // a path that fills the buffer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + "|" + c.address);
        bool pathFits = SetBrowserPath(command, sizeof command, c.path);
        bool fits = pathFits && AppendAddress(command, sizeof command, c.address);
        EXPECT_EQ(fits, c.fits);
        EXPECT_STREQ(command, c.result);
    }
}

} // namespace
