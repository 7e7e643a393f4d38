// The Configure dialog: what it shows, how its buttons, spin arrows, Enter and Escape change the
// dial-up preferences, what OK and Cancel leave in "dial.inf" and "disc.inf", and what the next
// "Go" carries into the registry.
#include "tests/e2e/dialup_steps.h"

#include <cwchar>

namespace {
using namespace e2e;

// The idle line, shown while auto-disconnect is on.
const int kIdleLine[] = {IDC_CONFIG_IDLE_SPIN, IDC_CONFIG_IDLE_MINUTES, IDC_CONFIG_MINUTES_LABEL,
                         IDC_CONFIG_IDLE_LABEL};

// Minutes that the registry holds before a scenario: "DisconnectIdleTime" changes only when the
// program writes it.
const uint32_t kOtherMinutes = 44;

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

struct TitleSearch {
    DWORD processId;
    const wchar_t* title;
    HWND found;
};

BOOL CALLBACK FindTitledDialog(HWND window, LPARAM data) {
    TitleSearch& search = *reinterpret_cast<TitleSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t title[64] = {};
    if (processId != search.processId || ClassOf(window) != "#32770" || !Visible(window) ||
        !InternalGetWindowText(window, title, 64) || wcscmp(title, search.title) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

// A visible dialog of the process whose title bar shows title.
HWND FindTitled(DWORD processId, const wchar_t* title) {
    TitleSearch search = {processId, title, nullptr};
    EnumWindows(FindTitledDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A key pressed and released, as the system posts it to the control with the focus.
void PressKey(HWND control, WPARAM key) {
    LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), 0)) << 16;
    PostMessageW(control, WM_KEYDOWN, key, scanCode | 1);
    PostMessageW(control, WM_KEYUP, key, scanCode | 1 | (3 << 30));
}

class TheConfigureDialog : public DialUpScenario {
  protected:
    // The typical start with these preferences in the files and the registry in line with them,
    // holding kOtherMinutes.
    void StartWith(bool autoDial, bool autoDisconnect, const std::string& minutes) {
        TypicalStart();
        PutPreferences(autoDial, autoDisconnect, minutes);
        SetDialUpValues(BinaryValues(autoDial, autoDisconnect, kOtherMinutes));
        StartAndWait();
    }

    // "Connection" from the system menu; waits for the dialog and its initial focus. The dialog
    // is found by the caption its title bar shows, so that a scenario can check apart what
    // WM_GETTEXT gives other programs.
    HWND Open(Where where = {}) {
        SysCommand(MainWindow(where), IDM_CONNECTION);
        HWND dialog = nullptr;
        if (!WaitUntil([&] { return (dialog = FindTitled(ProcessId(), L"Configure")) != nullptr; }))
            ADD_FAILURE_AT(where.file, where.line) << "no dialog \"Configure\"";
        else if (!WaitUntil([&] { return FocusOf(dialog) != nullptr; }))
            ADD_FAILURE_AT(where.file, where.line) << "nothing in the dialog has the focus";
        return dialog;
    }

    void Ok(HWND dialog, Where where = {}) {
        Click(Item(dialog, IDC_CONFIG_OK, where));
        ExpectGone(dialog, where);
    }

    void Cancel(HWND dialog, Where where = {}) {
        Click(Item(dialog, IDC_CONFIG_CANCEL, where));
        ExpectGone(dialog, where);
    }

    void ExpectFiles(bool autoDial, bool autoDisconnect, const std::string& minutes,
                     Where where = {}) {
        ExpectFile("dial.inf", DialFile(autoDial), where);
        ExpectFile("disc.inf", DiscFile(autoDisconnect, minutes), where);
    }
};

// The radio buttons' check marks, in the order 103, 104, 105, 106.
void ExpectChecks(HWND dialog, bool autoDial, bool autoDisconnect, Where where = {}) {
    const struct {
        int id;
        bool checked;
    } buttons[] = {
        {IDC_CONFIG_DIAL_ENABLE, autoDial},
        {IDC_CONFIG_DIAL_DISABLE, !autoDial},
        {IDC_CONFIG_DISCONNECT_ENABLE, autoDisconnect},
        {IDC_CONFIG_DISCONNECT_DISABLE, !autoDisconnect},
    };
    for (const auto& button : buttons) {
        HWND control = Item(dialog, button.id, where);
        LRESULT wanted = button.checked ? BST_CHECKED : BST_UNCHECKED;
        if (!WaitUntil([&] { return SendTo(control, BM_GETCHECK, 0, 0) == wanted; }))
            ADD_FAILURE_AT(where.file, where.line) << "radio button " << button.id << " is "
                                                   << (button.checked ? "not checked" : "checked");
    }
}

void ExpectIdleLine(HWND dialog, bool shown, Where where = {}) {
    for (int id : kIdleLine) {
        SCOPED_TRACE("control " + std::to_string(id));
        ExpectVisible(Item(dialog, id, where), shown, where);
    }
}

HWND MinutesBox(HWND dialog, Where where = {}) {
    return Item(dialog, IDC_CONFIG_IDLE_MINUTES, where);
}

// The user moves into the minutes box and types text over what it held. Sent, so that the
// commands sent after it come later.
void TypeMinutes(HWND dialog, const std::string& text, Where where = {}) {
    HWND box = MinutesBox(dialog, where);
    SendTo(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
    SetText(box, text);
}

// Enter, as the dialog manager passes it on while no push button has the focus: command 1.
void Enter(HWND dialog) {
    SendTo(dialog, WM_COMMAND, IDOK, 0);
}

void Spin(HWND dialog, int request, Where where = {}) {
    VScroll(dialog, Item(dialog, IDC_CONFIG_IDLE_SPIN, where), request);
}

TEST_F(TheConfigureDialog, OpensOnTheSettingsAndShowsTheIdleLineWhileAutoDisconnectIsOn) {
    StartWith(true, false, "20");
    HWND window = MainWindow();
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
    // Other programs read the caption too.
    EXPECT_EQ(Text(dialog), "Configure");
    ExpectEnabled(window, false);
    ExpectChecks(dialog, true, false);
    ExpectIdleLine(dialog, false);
    ExpectText(MinutesBox(dialog), "20");

    Click(Item(dialog, IDC_CONFIG_DISCONNECT_ENABLE));
    ExpectChecks(dialog, true, true);
    ExpectIdleLine(dialog, true);
    ExpectText(MinutesBox(dialog), "20");
    Click(Item(dialog, IDC_CONFIG_DISCONNECT_DISABLE));
    ExpectChecks(dialog, true, false);
    ExpectIdleLine(dialog, false);
    Click(Item(dialog, IDC_CONFIG_DIAL_DISABLE));
    ExpectChecks(dialog, false, false);
    Click(Item(dialog, IDC_CONFIG_DIAL_ENABLE));
    ExpectChecks(dialog, true, false);

    Cancel(dialog);
    ExpectEnabled(window, true);
    ExpectFiles(true, false, "20");
    ExpectNoBoxes();
}

TEST_F(TheConfigureDialog, SpinArrowsStepTheMinutesWithin3To59) {
    const struct {
        const char* stored;
        std::vector<std::pair<int, const char*>> steps; // the request and the box after it
        const char* okStores; // OK takes over the box as Enter does: brought into 3 to 59
    } cases[] = {
        {"58",
         {{SB_LINEUP, "59"}, {SB_LINEUP, "59"}, {SB_LINEDOWN, "58"}, {SB_LINEUP, "59"}},
         "59"},
        {"4", {{SB_LINEDOWN, "3"}, {SB_LINEDOWN, "3"}, {SB_LINEUP, "4"}, {SB_LINEDOWN, "3"}}, "3"},
        // From a hand-edited file: shown as it is; a step towards the outside is refused.
        {"0", {{SB_LINEDOWN, "0"}, {SB_LINEUP, "1"}}, "3"},
        {"80", {{SB_LINEUP, "80"}, {SB_PAGEDOWN, "79"}}, "59"},
        {"10", {{SB_PAGEUP, "11"}, {SB_THUMBTRACK, "11"}, {SB_LINEUP, "12"}}, "12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        StartWith(true, true, c.stored);
        // A refused step shows nothing; the step after it shows that it changed nothing.
        auto stepThrough = [&](HWND dialog) {
            ExpectText(MinutesBox(dialog), c.stored);
            for (const auto& step : c.steps) {
                Spin(dialog, step.first);
                ExpectText(MinutesBox(dialog), step.second);
            }
        };
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        stepThrough(dialog);
        Cancel(dialog);
        ExpectFiles(true, true, c.stored);
        // The steps flagged the minutes, Cancel or not: "Go" writes the stored ones although
        // auto-disconnect was on already.
        Go();
        uint32_t stored = static_cast<uint32_t>(std::stoi(c.stored));
        ExpectDialUpValues(BinaryValues(1, 1, stored));

        dialog = Open();
        ASSERT_NE(dialog, nullptr);
        stepThrough(dialog);
        Ok(dialog);
        ExpectFiles(true, true, c.okStores);
        Go();
        ExpectDialUpValues(BinaryValues(1, 1, static_cast<uint32_t>(std::stoi(c.okStores))));
        CloseAndWait();
        ExpectNoBoxes();
    }
}

TEST_F(TheConfigureDialog, EnterTakesTheTypedMinutesWithin3To59AndLeavesTheBoxAsTyped) {
    const struct {
        const char* typed;
        const char* shownAgain; // the minutes the dialog opens with next, before any "Go"
        const char* stored;     // the minutes line that OK stores after Enter
        bool byKey;             // the Enter key in the box, rather than command 1
    } cases[] = {
        {"75", "59", "59", false}, {"2", "3", "3", false},   {"abc", "3", "3", false},
        {"7x", "7", "7x", false},  {" 5", "5", " 5", false}, {"-1", "3", "3", false},
        {"", "3", "3", false},     {"75", "59", "59", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(Escaped(c.typed)) + (c.byKey ? " by the Enter key" : ""));
        StartWith(true, true, "10");
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        TypeMinutes(dialog, c.typed);
        if (c.byKey) {
            ASSERT_EQ(FocusOf(dialog), MinutesBox(dialog));
            PressKey(MinutesBox(dialog), VK_RETURN);
        } else {
            Enter(dialog);
            ExpectText(MinutesBox(dialog), c.typed);
        }
        // Cancel keeps what Enter took: the dialog opens with it again, and the files stay.
        Cancel(dialog);
        ExpectFiles(true, true, "10");
        dialog = Open();
        ASSERT_NE(dialog, nullptr);
        ExpectText(MinutesBox(dialog), c.shownAgain);

        TypeMinutes(dialog, c.typed);
        Enter(dialog);
        Ok(dialog);
        ExpectFiles(true, true, c.stored);
        Go();
        ExpectDialUpValues(BinaryValues(1, 1, static_cast<uint32_t>(std::stoi(c.shownAgain))));
        CloseAndWait();
        ExpectNoBoxes();
    }
}

TEST_F(TheConfigureDialog, EnterWithAutoDisconnectOffChangesNothing) {
    StartWith(true, false, "20");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    // Typed into the hidden box by another program; the user is on "Disable".
    SetText(MinutesBox(dialog), "75");
    HWND disable = Item(dialog, IDC_CONFIG_DISCONNECT_DISABLE);
    SendTo(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(disable), TRUE);
    Enter(dialog);
    PressKey(disable, VK_RETURN);
    ExpectText(MinutesBox(dialog), "75");
    Ok(dialog);
    ExpectFiles(true, false, "20");
    // Nothing flagged the minutes: "Go" leaves them alone.
    Go();
    ExpectDialUpValues(BinaryValues(1, 0, kOtherMinutes));
    ExpectNoBoxes();
}

TEST_F(TheConfigureDialog, EscapeAndAltF4DoNothing) {
    StartWith(true, true, "10");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND focus = FocusOf(dialog);
    PostCommand(dialog, IDCANCEL);
    PressKey(focus, VK_ESCAPE);
    // Alt+F4 closes through WM_CLOSE, which the dialog manager turns into command 2, posted.
    PostMessageW(focus, WM_SYSKEYDOWN, VK_F4, (1 << 29) | 1);
    // Each spin step is handled after what was posted before it, and the command that Alt+F4
    // ends in is posted two messages deep.
    for (const char* minutes : {"11", "12", "13"}) {
        Spin(dialog, SB_LINEUP);
        ExpectText(MinutesBox(dialog), minutes);
    }
    EXPECT_TRUE(Visible(dialog));
    ExpectEnabled(MainWindow(), false);
    ExpectFiles(true, true, "10");
    Ok(dialog);
    ExpectEnabled(MainWindow(), true);
    ExpectFiles(true, true, "13");
    ExpectNoBoxes();
}

TEST_F(TheConfigureDialog, EnterRightAfterOpeningPressesOk) {
    StartWith(true, true, "10");
    // Files that OK would write differently.
    PutFile("dial.inf", "1\r\n");
    PutFile("disc.inf", "1\r\n10\r\n");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND ok = Item(dialog, IDC_CONFIG_OK);
    ASSERT_EQ(FocusOf(dialog), ok);
    // The key goes to the focused control and through the dialog's modal loop.
    PressKey(ok, VK_RETURN);
    ExpectGone(dialog);
    ExpectEnabled(MainWindow(), true);
    ExpectFiles(true, true, "10");
    ExpectNoBoxes();
}

TEST_F(TheConfigureDialog, OkTakesOverATypedNumberWithoutEnter) {
    const struct {
        const char* typed;
        const char* stored;
        uint32_t minutes;
    } cases[] = {
        {"25", "25", 25},
        {"75", "59", 59},
        {"7x", "7x", 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        StartWith(true, true, "10");
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        TypeMinutes(dialog, c.typed);
        Ok(dialog);
        ExpectFiles(true, true, c.stored);
        Go();
        ExpectDialUpValues(BinaryValues(1, 1, c.minutes));
        CloseAndWait();
        ExpectNoBoxes();
    }
}

TEST_F(TheConfigureDialog, CancelWritesNothingAndItsChangesLastUntilTheNextGo) {
    StartWith(true, true, "10");
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    Click(Item(dialog, IDC_CONFIG_DIAL_DISABLE));
    ExpectChecks(dialog, false, true);
    Cancel(dialog);
    ExpectFiles(true, true, "10");
    ExpectDialUpValues(BinaryValues(1, 1, kOtherMinutes));

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ExpectChecks(dialog, false, true);
    Cancel(dialog);

    // "Go" reads the stored preferences back, so the registry and the dialog show them again.
    Go();
    ExpectDialUpValues(BinaryValues(1, 1, kOtherMinutes));
    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    ExpectChecks(dialog, true, true);
    Cancel(dialog);
    ExpectFiles(true, true, "10");
    ExpectNoBoxes();
}

TEST_F(TheConfigureDialog, OkThenGoCarriesTheNewPreferencesIntoTheRegistry) {
    const struct {
        const char* what;
        bool autoDialBefore;
        bool autoDisconnectBefore;
        void (*change)(HWND dialog);
        bool autoDial;
        bool autoDisconnect;
        const char* stored;
        DialUpValues after;
    } cases[] = {
        {"auto-dial off, two steps up", true, true,
         [](HWND dialog) {
             Click(GetDlgItem(dialog, IDC_CONFIG_DIAL_DISABLE));
             Spin(dialog, SB_LINEUP);
             Spin(dialog, SB_LINEUP);
         },
         false, true, "12", BinaryValues(0, 1, 12)},
        {"both on, 30 typed", false, false,
         [](HWND dialog) {
             Click(GetDlgItem(dialog, IDC_CONFIG_DIAL_ENABLE));
             Click(GetDlgItem(dialog, IDC_CONFIG_DISCONNECT_ENABLE));
             ExpectIdleLine(dialog, true);
             TypeMinutes(dialog, "30");
         },
         true, true, "30", BinaryValues(1, 1, 30)},
        // The minutes were flagged before auto-disconnect went off: written all the same.
        {"45 taken by Enter, then auto-disconnect off", true, true,
         [](HWND dialog) {
             TypeMinutes(dialog, "45");
             Enter(dialog);
             Click(GetDlgItem(dialog, IDC_CONFIG_DISCONNECT_DISABLE));
         },
         true, false, "45", BinaryValues(1, 0, 45)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        StartWith(c.autoDialBefore, c.autoDisconnectBefore, "10");
        DialUpValues before = BinaryValues(c.autoDialBefore, c.autoDisconnectBefore, kOtherMinutes);
        HWND dialog = Open();
        ASSERT_NE(dialog, nullptr);
        c.change(dialog);
        ExpectChecks(dialog, c.autoDial, c.autoDisconnect);
        Ok(dialog);
        ExpectFiles(c.autoDial, c.autoDisconnect, c.stored);
        // The registry waits for "Go".
        ExpectDialUpValues(before);
        Go();
        ExpectDialUpValues(c.after);
        CloseAndWait();
        ExpectNoBoxes();
    }
}

} // namespace
