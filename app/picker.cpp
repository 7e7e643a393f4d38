// The main window's picker, the start-up launch and "Go".
#include "app/main_window.h"

#include "app/launch.h"
#include "common/message_boxes.h"
#include "resources/resource.h"

namespace {

// Takes the picker, loads the list into it and makes the start-up launch that the start file
// asks for. Returns true when a start-up launch ran.
bool FillAndStart(HWND window) {
    picker = GetDlgItem(window, IDC_MAIN_PICKER);
    if (!picker) {
        ShowFailureBox("Failed to get combobox");
        return false;
    }
    if (!LoadLocationList(&mainTable, "Failed to open URLS.TXT", true))
        return false;
    int count = mainTable.present ? mainTable.count : 0;
    for (int i = 0; i < count; ++i) {
        SendMessageA(picker, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(mainTable.entries[i].description));
    }
    if (count > 0)
        SendMessageA(picker, CB_SETCURSEL, 0, 0);

    ReadStartIndex();
    if (!PrepareStartLaunch(count))
        return false;
    SendMessageA(picker, CB_SETCURSEL, static_cast<WPARAM>(StartIndex), 0);
    SendMessageA(window, WM_COMMAND, IDC_MAIN_GO, 0);
    return true;
}

} // namespace

LRESULT FillPicker(HWND window) {
    ReadStartIndex();
    bool hidden = StartIndex >= kHiddenStartValue;
    ShowWindow(window, hidden ? SW_HIDE : SW_SHOW);
    StartIndex = 0;
    // A hidden window with nothing launched would leave the program running unseen and out of
    // reach: it ends instead, as it would have after the launch.
    if (!FillAndStart(window) && hidden)
        SendMessageA(window, WM_DESTROY, 0, 0);
    return 0;
}

LRESULT LaunchSelectedLocation(HWND window) {
    PrepareLaunch();
    if (!picker) {
        ShowFailureBox("Failed to get listbox");
        return 0;
    }
    int selected = static_cast<int>(SendMessageA(picker, CB_GETCURSEL, 0, 0));
    // No selected item (an empty list, or one that failed to load) launches nothing.
    if (!StartBrowserOn(&mainTable, selected))
        return 0;
    if (exitAfterLaunch)
        SendMessageA(window, WM_DESTROY, 0, 0);
    PauseAfterLaunch();
    return 0;
}

void DropMainList() {
    FreeLocationTable(&mainTable);
    SendMessageA(picker, CB_RESETCONTENT, 0, 0);
}
