// The end-to-end rig. Each scenario is a TEST_F of a fixture derived from e2e::Scenario: it
// writes the program's files into a scratch folder of its own, sets the registry, starts
// tarsel.exe there under Wine, acts on its windows through messages, and checks what came of it:
// files and registry data byte for byte, the recorded browser command lines, windows, message
// boxes and the exit code.
//
// Every check waits, polling, until what it expects holds or kTimeoutMs has passed, so a scenario
// never sleeps for a fixed time. Checks take the caller's place as a defaulted last argument:
// a failure names the scenario's line.
//
// Acting goes through PostMessage where the program may open a modal box or dialog in answer
// (SendMessage would wait for the box to close), and texts are read with the W messages, the
// only ones that cross processes whole under Wine. Texts are UTF-8 in and out.
#pragma once

#include "tests/e2e/box_watcher.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// Where a check was called from; always left to its default.
struct Where {
    Where(const char* file = __builtin_FILE(), int line = __builtin_LINE())
        : file(file), line(line) {}
    const char* file;
    int line;
};

// How long a check waits for what it expects.
constexpr DWORD kTimeoutMs = 10000;

// Polls condition every few milliseconds until it holds (true) or timeoutMs has passed (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kTimeoutMs);

// ---- Bytes

// The four bytes of n, least significant first: the REG_BINARY data of the dial-up switches.
std::string Le32(uint32_t n);
// bytes in double quotes, with line ends, control and non-ASCII bytes escaped (\r, \n, \x1e).
std::string Escaped(const std::string& bytes);

// ---- The program's files, byte for byte

struct Location {
    std::string description;
    std::string address;
};

// "tarsel.ini": the client area's corner, "103\r\n124".
std::string PositionFile(unsigned x, unsigned y);
// "tarsel.inf": firstLine and CR LF.
std::string StartFile(const std::string& firstLine);
// "urls.txt": the count line, then description and address lines, each ended by CR LF.
std::string ListFile(const std::vector<Location>& locations);
// "dial.inf" as the program writes it.
std::string DialFile(bool autoDial);
// "disc.inf" as the program writes it; idleMinutesText goes in unchanged.
std::string DiscFile(bool autoDisconnect, const std::string& idleMinutesText);

// The list of TypicalStart: "One" http://a/ and "Two" http://b/.
extern const std::vector<Location> kTypicalLocations;

// ---- Registry (the rig's own Wine prefix)

// HKEY_CLASSES_ROOT: the default browser's registration, read through the default value.
extern const char kHttpDefaultIcon[];
// HKEY_LOCAL_MACHINE: the browsers' paths, in the default values.
extern const char kIePath[];
extern const char kNetscapePath[];
// HKEY_CURRENT_USER: values "EnableAutoDial", "EnableAutoDisconnect", "DisconnectIdleTime".
extern const char kInternetSettings[];
// HKEY_CURRENT_USER: value "InternetProfile".
extern const char kRemoteAccess[];

struct RegValue {
    bool exists = false;
    DWORD type = REG_NONE;
    std::string data;
};

// Value name of root\key ("" names the default value). The setters create the key; the fixture
// undoes every change they made when the scenario ends. Failures fail the scenario.
void SetRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                 const std::string& data, Where where = {});
// REG_SZ: text and its terminating NUL.
void SetRegString(HKEY root, const std::string& key, const std::string& name,
                  const std::string& text, Where where = {});
void SetRegBinary(HKEY root, const std::string& key, const std::string& name,
                  const std::string& data, Where where = {});
void DeleteRegValue(HKEY root, const std::string& key, const std::string& name);
// The key with all its subkeys.
void DeleteRegKey(HKEY root, const std::string& key);
RegValue ReadRegValue(HKEY root, const std::string& key, const std::string& name);
// Waits until the value has this type and these data bytes (REG_SZ data include the NUL, when
// the writer stored it).
void ExpectRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                    const std::string& data, Where where = {});
void ExpectNoRegValue(HKEY root, const std::string& key, const std::string& name, Where where = {});

// ---- Windows of any process

std::string Text(HWND window);    // WM_GETTEXT
std::string ClassOf(HWND window); // the class name
// The dialog's control id; fails the scenario when there is none.
HWND Item(HWND dialog, int id, Where where = {});
int ComboCount(HWND combo);
std::vector<std::string> ComboItems(HWND combo); // CB_GETLBTEXT of each item
int ComboSelection(HWND combo);                  // CB_GETCURSEL: CB_ERR for none
RECT WindowRect(HWND window);                    // screen coordinates
bool Visible(HWND window);
bool Enabled(HWND window);

// Posted: BM_CLICK to a button.
void Click(HWND button);
// Posted: WM_COMMAND with wParam and lParam to window (a button's click is its id, code 0).
void PostCommand(HWND window, WPARAM wParam, LPARAM lParam = 0);
// Posted: WM_SYSCOMMAND with command, as the system menu sends it.
void SysCommand(HWND window, WPARAM command);
// Posted: WM_CLOSE, as the close box sends it.
void PostClose(HWND window);
// CB_SETCURSEL, then the CBN_SELCHANGE notification that the control would send its parent.
void Select(HWND combo, int index);
// WM_SETTEXT (sent: the control answers it without opening anything).
void SetText(HWND control, const std::string& text);
// Posted: WM_VSCROLL with code (SB_LINEUP, SB_LINEDOWN, ...) from scroll bar bar to window.
void VScroll(HWND window, HWND bar, int code);

// Waiting checks on windows.
void ExpectText(HWND window, const std::string& text, Where where = {});
void ExpectComboItems(HWND combo, const std::vector<std::string>& items, Where where = {});
void ExpectComboSelection(HWND combo, int index, Where where = {});
void ExpectVisible(HWND window, bool visible = true, Where where = {});
void ExpectEnabled(HWND window, bool enabled = true, Where where = {});
// The outer rectangle: left, top, width and height.
void ExpectWindowRect(HWND window, int left, int top, int width, int height, Where where = {});
// Waits until the window is destroyed.
void ExpectGone(HWND window, Where where = {});

// ---- Scenarios

// A message box that a scenario expects: caption and text, compared exactly.
struct ExpectedBox {
    std::string caption;
    std::string text;
};

// Test programs: the folder of tarsel_e2e.exe, which holds tarsel.exe and recbrowser.exe.
std::string ProgramFolder();

class Scenario : public ::testing::Test {
  protected:
    Scenario();
    ~Scenario() override;
    void SetUp() override;
    void TearDown() override;

    // -- The scratch folder: the program's current directory, fresh for each scenario and kept
    // afterwards for a look (e2e-scratch\<Suite>.<Test> beside the test programs).
    const std::string& Scratch() const {
        return scratch_;
    }
    std::string InScratch(const std::string& name) const;
    // Writes exactly these bytes, making the folders on the way.
    void PutFile(const std::string& name, const std::string& bytes);
    // The file's bytes; empty when it is missing.
    std::string FileBytes(const std::string& name) const;
    bool FileExists(const std::string& name) const;
    void RemoveFile(const std::string& name);
    void ExpectFile(const std::string& name, const std::string& bytes, Where where = {});
    void ExpectNoFile(const std::string& name, Where where = {});

    // -- A normal start: the five files (position 103, 124; start value 0; kTypicalLocations;
    // auto-dial on; auto-disconnect on, 10 minutes), the recording browser at
    // kBrowserInScratch, registered as Internet Explorer's and Netscape's path, HTTP\DefaultIcon
    // naming url.dll, dial-up switches that agree with the files, and a dial-up profile "My ISP".
    // The program starts with no message box and writes nothing to the registry.
    void TypicalStart();
    static const char kBrowserInScratch[];
    // Copies recbrowser.exe to name in the scratch folder and returns its full path.
    std::string InstallBrowser(const std::string& name = kBrowserInScratch);
    // The full path of the last InstallBrowser.
    const std::string& BrowserPath() const {
        return browserPath_;
    }
    // The command lines the recording browser received, in order.
    std::vector<std::string> BrowserLaunches() const;
    // Waits until exactly these launches have been recorded; a launch may take longer than
    // kTimeoutMs, up to the 30 s that WinExec waits for a started program.
    void ExpectLaunches(const std::vector<std::string>& commandLines, Where where = {});

    // -- The program under test, started in the scratch folder: a name in ProgramFolder() or a
    // full path; its command line is the quoted path, then a blank and the arguments if any.
    // One runs at a time; a scenario may start the next once the last has ended.
    void Start(const std::string& program = "tarsel.exe", const std::string& arguments = "",
               Where where = {});
    bool Running() const;
    DWORD ProcessId() const {
        return processId_;
    }
    // Waits for a top-level window of the program with this class.
    HWND WaitWindow(const std::string& className, Where where = {});
    // The main window, class "dia1" (found once, then remembered for this run).
    HWND MainWindow(Where where = {});
    // A visible dialog of the program with this caption: nullptr when there is none.
    HWND FindDialog(const std::string& caption) const;
    HWND WaitDialog(const std::string& caption, Where where = {});
    // WM_CLOSE to the main window.
    void Close(Where where = {});
    // Waits for the program to end and gives its exit code.
    DWORD WaitExit(Where where = {});
    void ExpectExit(DWORD code, Where where = {});
    void ExpectRunning(Where where = {});

    // -- Message boxes. Every box of the program is recorded and, unless held, closed with OK.
    // A scenario must expect each box it causes: the boxes that no check took fail it at the end.
    std::vector<Box> Boxes() const;
    // Waits until the boxes since the last check are exactly these, in this order, each with
    // only an OK button; gives them for further checks (owner, topmost), at least as many as
    // expected (empty records stand in for missing boxes).
    std::vector<Box> ExpectBoxes(const std::vector<ExpectedBox>& expected, Where where = {});
    // No box since the last check.
    void ExpectNoBoxes(Where where = {});
    // While held, boxes are recorded but stay open, so the scenario can look at the program
    // meanwhile; ReleaseBoxes closes them and goes on closing.
    void HoldBoxes();
    void ReleaseBoxes();
    // Waits for an open box (while held) and gives its window.
    HWND WaitOpenBox(Where where = {});

  private:
    void CleanRegistry();
    void EndProgram();

    std::string scratch_;
    std::string browserPath_;
    std::unique_ptr<BoxWatcher> boxes_;
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND mainWindow_ = nullptr;
};

} // namespace e2e
