// The rig's own scenarios: each helper proved across processes under Wine, on rigtarget.exe and
// the recording browser.
#include "tests/e2e/rig.h"

namespace {
using namespace e2e;

using TheRig = Scenario;

// "ä" as the W messages give it (UTF-8) and as an ANSI program stores it (code page 1252).
const char kUtf8AUmlaut[] = "\xc3\xa4";
const char kAnsiAUmlaut[] = "\xe4";

TEST_F(TheRig, ReadsAndDrivesTheControlsOfAnotherProcess) {
    Start("rigtarget.exe");
    HWND window = WaitWindow("rig target");
    ASSERT_NE(window, nullptr);
    ExpectText(window, std::string("Rig target ") + kUtf8AUmlaut);
    ExpectWindowRect(window, 100, 100, 366, 80);

    HWND picker = Item(window, 101);
    ExpectComboItems(picker, {"One", std::string("Zwei ") + kUtf8AUmlaut});
    ExpectComboSelection(picker, 0);
    Select(picker, 1);
    ExpectFile("selected.txt", "101 1");
    ExpectComboSelection(picker, 1);

    SetText(Item(window, 102), std::string("typed ") + kUtf8AUmlaut);
    Click(Item(window, 103));
    ExpectFile("clicked.txt", std::string("typed ") + kAnsiAUmlaut);
    RemoveFile("clicked.txt");
    PostCommand(window, 103);
    ExpectFile("clicked.txt", std::string("typed ") + kAnsiAUmlaut);

    VScroll(window, Item(window, 104), SB_LINEDOWN);
    ExpectFile("scrolled.txt", std::to_string(SB_LINEDOWN));

    PostClose(window);
    ExpectExit(7);
    ExpectNoBoxes();
}

TEST_F(TheRig, RecordsEveryBoxInOrderAndPressesOk) {
    Start("rigtarget.exe");
    HWND window = WaitWindow("rig target");
    SysCommand(window, 999);
    std::vector<Box> boxes =
        ExpectBoxes({{"First box", "First box text"}, {"Second box", "Second box text"}});
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].topmost);
    EXPECT_EQ(boxes[1].owner, window);
    EXPECT_FALSE(boxes[1].topmost);
    ExpectFile("boxes.txt", "1 1");
}

TEST_F(TheRig, LeavesBoxesOpenWhileHeld) {
    Start("rigtarget.exe");
    HWND window = WaitWindow("rig target");
    HoldBoxes();
    SysCommand(window, 999);
    HWND box = WaitOpenBox();
    EXPECT_EQ(Text(box), "First box");
    ExpectBoxes({{"First box", "First box text"}});
    ReleaseBoxes();
    ExpectGone(box);
    ExpectBoxes({{"Second box", "Second box text"}});
    ExpectFile("boxes.txt", "1 1");
}

TEST_F(TheRig, RecordingBrowserLogsEachExactCommandLine) {
    std::string browser = InstallBrowser();
    for (const char* address : {"http://a/", "two  blanks"}) {
        Start(browser, address);
        ExpectExit(0);
    }
    ExpectLaunches({"\"" + browser + "\" http://a/", "\"" + browser + "\" two  blanks"});
}

TEST_F(TheRig, RegistrySettersCreateKeysAndStoreExactData) {
    const std::string key = "Software\\Tarsel rig\\Sub";
    SetRegBinary(HKEY_CURRENT_USER, key, "Binary", Le32(0x0A));
    SetRegString(HKEY_CURRENT_USER, key, "", "text");
    ExpectRegValue(HKEY_CURRENT_USER, key, "Binary", REG_BINARY, std::string("\x0a\0\0\0", 4));
    ExpectRegValue(HKEY_CURRENT_USER, key, "", REG_SZ, std::string("text\0", 5));
    DeleteRegValue(HKEY_CURRENT_USER, key, "Binary");
    ExpectNoRegValue(HKEY_CURRENT_USER, key, "Binary");
}

} // namespace
