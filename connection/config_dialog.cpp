// The Configure dialog: auto-dial, auto-disconnect and the idle minutes. It works on the live
// connectionSettings, so every click, spin step and Enter changes them at once; OK then writes
// the two preference files, and Cancel leaves them (and the changed settings) as they are.
#include "connection/config_dialog.h"

#include "connection/connection_settings.h"
#include "connection/idle_minutes.h"
#include "resources/resource.h"

namespace {

// Set by OK: the files are written once the dialog is gone.
bool confirmed = false;

// The idle line, shown while auto-disconnect is on.
const int kIdleLine[] = {IDC_CONFIG_IDLE_SPIN, IDC_CONFIG_IDLE_MINUTES, IDC_CONFIG_MINUTES_LABEL,
                         IDC_CONFIG_IDLE_LABEL};

void ShowIdleLine(HWND dialog, bool show) {
    for (int id : kIdleLine)
        ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

void InitConfigDialog(HWND dialog) {
    confirmed = false;
    CheckDlgButton(dialog,
                   connectionSettings.autoDial ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE,
                   BST_CHECKED);
    if (connectionSettings.autoDisconnect) {
        CheckDlgButton(dialog, IDC_CONFIG_DISCONNECT_ENABLE, BST_CHECKED);
    } else {
        CheckDlgButton(dialog, IDC_CONFIG_DISCONNECT_DISABLE, BST_CHECKED);
        ShowIdleLine(dialog, false);
    }
    // Shown as it is, even outside 3 to 59.
    FormatIdleMinutesText();
    SetDlgItemTextA(dialog, IDC_CONFIG_IDLE_MINUTES, connectionSettings.idleMinutesText);
}

void SetAutoDisconnect(HWND dialog, bool on) {
    CheckDlgButton(dialog, IDC_CONFIG_DISCONNECT_ENABLE, on ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_CONFIG_DISCONNECT_DISABLE, on ? BST_UNCHECKED : BST_CHECKED);
    ShowIdleLine(dialog, on);
    connectionSettings.autoDisconnect = on ? 1 : 0;
}

// Enter, and OK before it stores: the minutes typed into the box. The box keeps what was typed.
void TakeOverMinutesBox(HWND dialog) {
    char typed[kIdleMinutesTextLength + 1];
    GetDlgItemTextA(dialog, IDC_CONFIG_IDLE_MINUTES, typed, sizeof typed);
    TakeOverTypedMinutes(typed);
}

void StepMinutes(HWND dialog, int request) {
    int step = 0;
    if (request == SB_LINEUP || request == SB_PAGEUP)
        step = 1;
    else if (request == SB_LINEDOWN || request == SB_PAGEDOWN)
        step = -1;
    if (step && StepIdleMinutes(step))
        SetDlgItemTextA(dialog, IDC_CONFIG_IDLE_MINUTES, connectionSettings.idleMinutesText);
}

// OK takes over the typed minutes as Enter does, so a number typed and confirmed with OK alone
// is stored too.
void PressOk(HWND dialog) {
    TakeOverMinutesBox(dialog);
    confirmed = true;
    EndDialog(dialog, 1);
}

// Enter while OK or Cancel has the focus presses that button, as it does right after opening,
// when OK has it. Windows' dialog manager sends the focused button's own id then; Wine's sends
// command 1 unless the button has become the default one (by Tab, for instance), so command 1
// looks at the focus before it takes over the minutes. Returns whether a button was pressed.
bool PressFocusedButton(HWND dialog) {
    HWND focus = GetFocus();
    if (!focus)
        return false;
    if (focus == GetDlgItem(dialog, IDC_CONFIG_OK)) {
        PressOk(dialog);
        return true;
    }
    if (focus == GetDlgItem(dialog, IDC_CONFIG_CANCEL)) {
        EndDialog(dialog, 1);
        return true;
    }
    return false;
}

// Whole-wParam comparisons: only a click (notification 0) runs a command.
LRESULT OnConfigCommand(HWND dialog, WPARAM wParam, LPARAM lParam) {
    switch (wParam) {
    case IDC_CONFIG_DIAL_ENABLE:
        connectionSettings.autoDial = 1;
        break;
    case IDC_CONFIG_DIAL_DISABLE:
        CheckDlgButton(dialog, IDC_CONFIG_DIAL_ENABLE, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CONFIG_DIAL_DISABLE, BST_CHECKED);
        connectionSettings.autoDial = 0;
        break;
    case IDC_CONFIG_DISCONNECT_ENABLE:
        SetAutoDisconnect(dialog, true);
        break;
    case IDC_CONFIG_DISCONNECT_DISABLE:
        SetAutoDisconnect(dialog, false);
        break;
    case IDOK: // Enter
        if (PressFocusedButton(dialog))
            return 0;
        TakeOverMinutesBox(dialog);
        break;
    case IDC_CONFIG_OK:
        PressOk(dialog);
        return 0;
    case IDC_CONFIG_CANCEL:
        EndDialog(dialog, 1);
        return 0;
    default:
        return 0;
    }
    return DefWindowProcA(dialog, WM_COMMAND, wParam, lParam);
}

// Every message the dialog doesn't handle is left to the dialog manager (FALSE). Handing it to
// DefWindowProcA instead would run the default twice or drop its answer: the title bar would
// not drag and the caption would read as empty, and Alt+F4 (WM_CLOSE) would destroy the dialog
// without ending it, leaving the main window disabled for good. The dialog manager turns
// WM_CLOSE into command 2, which does nothing here, as Escape does.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_INITDIALOG:
        InitConfigDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnConfigCommand(dialog, wParam, lParam);
    case WM_VSCROLL:
        StepMinutes(dialog, LOWORD(wParam));
        return DefWindowProcA(dialog, message, wParam, lParam);
    }
    return FALSE;
}

} // namespace

void OpenConfigureDialog(HINSTANCE instance, HWND owner) {
    DialogBoxParamA(instance, "Config", owner, ConfigDialogProc, 0);
    // Written only once the modal loop has returned: a box shown from inside the dialog
    // procedure after EndDialog would run its own loop, and an OK sent from another thread
    // would then leave the dialog hidden but alive until some later message.
    if (confirmed)
        WriteConnectionSettings();
}
