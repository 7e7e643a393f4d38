// The Edit Locations dialog. In one visit the user prepares at most one add, one delete and one
// modify in pendingEdit; nothing touches the list until OK.
//
// The Delete and Modify boxes list "<Nothing>" first and then the descriptions of the dialog's
// own table in file order, so item k > 0 always stands for entry k - 1.
#include "locations/locations_dialog.h"

#include "common/message_boxes.h"
#include "locations/list_rewrite.h"
#include "locations/location_list.h"
#include "resources/resource.h"

#include <cstring>

namespace {

// Longest texts the boxes take: what OK reads of them. The new address takes as much as an
// entry's address holds, so that a modify never cuts the address it keeps.
const int kAddTextLength = 119;
const int kModifyDescriptionLength = 199;
const int kModifyAddressLength = kMaxAddress;

// The dialog's own table and its two boxes; one visit at a time.
LocationTable dialogTable;
HWND deleteBox;
HWND modifyBox;
// Set by OK: the list is rewritten once the dialog is gone.
bool confirmed = false;
// Set from the opening of a visit until OK or Cancel has done all its work. The main window
// takes input again while OK shows the limit box, and a second visit then would reload the
// picker under the first one's feet.
bool visitRunning = false;

void CopyText(char* to, size_t size, const char* from) {
    size_t length = strnlen(from, size - 1);
    memcpy(to, from, length);
    to[length] = '\0';
}

// The entry that item k of the Delete or Modify box stands for, or none.
const LocationEntry* EntryForItem(LRESULT k) {
    if (k <= 0 || !dialogTable.present || k > dialogTable.count)
        return nullptr;
    return &dialogTable.entries[k - 1];
}

// The user sees where a text stops rather than finding it cut at OK.
void LimitTyping(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ADD_DESCRIPTION, EM_LIMITTEXT, kAddTextLength, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ADD_ADDRESS, EM_LIMITTEXT, kAddTextLength, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_MODIFY_BOX, CB_LIMITTEXT, kModifyDescriptionLength,
                        0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_MODIFY_ADDRESS, EM_LIMITTEXT, kModifyAddressLength,
                        0);
}

LRESULT InitLocationsDialog(HWND dialog) {
    // Nothing prepared in an earlier visit, a cancelled one included, survives into this one.
    memset(&pendingEdit, 0, sizeof pendingEdit);
    confirmed = false;
    LimitTyping(dialog);

    deleteBox = GetDlgItem(dialog, IDC_LOCATIONS_DELETE_BOX);
    modifyBox = GetDlgItem(dialog, IDC_LOCATIONS_MODIFY_BOX);
    if (!deleteBox) {
        ShowFailureBox("Failed to get combobox");
        return 0;
    }
    if (!LoadLocationList(&dialogTable, "Failed to open URLS.LST", false))
        return 0;

    // An empty list gets no items at all, "<Nothing>" included, and so no selection.
    int count = dialogTable.present ? dialogTable.count : 0;
    if (count > 0) {
        SendMessageA(deleteBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("<Nothing>"));
        SendMessageA(modifyBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("<Nothing>"));
    }
    for (int i = 0; i < count; ++i) {
        LPARAM description = reinterpret_cast<LPARAM>(dialogTable.entries[i].description);
        SendMessageA(deleteBox, CB_ADDSTRING, 0, description);
        SendMessageA(modifyBox, CB_ADDSTRING, 0, description);
    }
    SendMessageA(deleteBox, CB_SETCURSEL, 0, 0);
    SendMessageA(modifyBox, CB_SETCURSEL, 0, 0);
    SetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_ADDRESS, "http://");
    // OK, the first tab stop, takes the focus as the default button, so that Enter right after
    // opening presses it. A plain SetFocus, which is all that returning 1 asks for, leaves it an
    // ordinary button where Enter sends IDOK instead.
    SendMessageA(dialog, WM_NEXTDLGCTL,
                 reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_LOCATIONS_OK)), TRUE);
    return 1;
}

// A selection change in either box looks at the Modify box: an entry chosen there is prepared
// for modification and its stored address offered for editing, over whatever was typed there;
// "<Nothing>" withdraws the modification.
void OnSelectionChange(HWND dialog) {
    HWND newAddress = GetDlgItem(dialog, IDC_LOCATIONS_MODIFY_ADDRESS);
    LRESULT k = SendMessageA(modifyBox, CB_GETCURSEL, 0, 0);
    if (const LocationEntry* entry = EntryForItem(k)) {
        SetWindowTextA(newAddress, entry->address);
        EnableWindow(newAddress, TRUE);
        CopyText(pendingEdit.modifyOldDescription, sizeof pendingEdit.modifyOldDescription,
                 entry->description);
        CopyText(pendingEdit.modifyOldAddress, sizeof pendingEdit.modifyOldAddress, entry->address);
        pendingEdit.modifyChosen = true;
    } else if (k == 0) {
        SetWindowTextA(newAddress, "");
        EnableWindow(newAddress, FALSE);
        pendingEdit.modifyOldDescription[0] = '\0';
        pendingEdit.modifyOldAddress[0] = '\0';
        pendingEdit.modifyChosen = false;
    }
}

void CollectPendingEdit(HWND dialog) {
    PendingEdit& edit = pendingEdit;
    GetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_DESCRIPTION, edit.addDescription, kAddTextLength + 1);
    GetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_ADDRESS, edit.addAddress, kAddTextLength + 1);
    if (const LocationEntry* entry = EntryForItem(SendMessageA(deleteBox, CB_GETCURSEL, 0, 0))) {
        CopyText(edit.deleteDescription, sizeof edit.deleteDescription, entry->description);
        CopyText(edit.deleteAddress, sizeof edit.deleteAddress, entry->address);
        edit.deleteChosen = true;
    }
    // The new address is read whether its box is enabled or not.
    GetDlgItemTextA(dialog, IDC_LOCATIONS_MODIFY_ADDRESS, edit.modifyNewAddress,
                    kModifyAddressLength + 1);
    GetDlgItemTextA(dialog, IDC_LOCATIONS_MODIFY_BOX, edit.modifyNewDescription,
                    kModifyDescriptionLength + 1);
    // An entry chosen for modification and left as it was is not modified. The comparison is
    // case-sensitive: a change of case alone is a modification.
    if (strcmp(edit.modifyNewDescription, edit.modifyOldDescription) == 0 &&
        strcmp(edit.modifyNewAddress, edit.modifyOldAddress) == 0) {
        edit.modifyOldDescription[0] = '\0';
        edit.modifyOldAddress[0] = '\0';
        edit.modifyChosen = false;
    }
}

void PressOk(HWND dialog) {
    CollectPendingEdit(dialog);
    confirmed = true;
    EndDialog(dialog, 1);
}

// Rewrites the list with what OK collected, and has the owner drop its list and load it again.
void ApplyAndReload(HWND owner, void (*dropOwnerList)()) {
    int result = ApplyPendingEdits();
    // The owner takes input again while the limit box is on screen: "Go" must find no item
    // that names a released table.
    dropOwnerList();
    if (result == kListFull)
        ShowLimitBox("Location limit is 99.", "Maximum Locations");
    // The owner fills its picker again in full, the start file's launch included.
    SendMessageA(owner, WM_INITDIALOG, 0, 0);
}

// Whole-wParam comparisons: only a click (notification 0) of OK or Cancel runs them, so Enter
// (command IDOK) and Escape (IDCANCEL) do nothing. A selection change is taken from any control.
void OnLocationsCommand(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) == CBN_SELCHANGE)
        OnSelectionChange(dialog);
    else if (wParam == IDC_LOCATIONS_OK)
        PressOk(dialog);
    else if (wParam == IDC_LOCATIONS_CANCEL)
        EndDialog(dialog, 1);
}

INT_PTR CALLBACK LocationsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_INITDIALOG:
        return InitLocationsDialog(dialog);
    case WM_COMMAND:
        OnLocationsCommand(dialog, wParam);
        return 0;
    }
    // Every other message is left to the dialog manager (FALSE), as in the Configure dialog.
    // Handing it to DefWindowProcA instead would drop its answer or run the default twice: the
    // caption would read as empty, the title bar would not move the dialog, and Alt+F4 would
    // destroy the dialog without ending it. The dialog manager turns Alt+F4 into command 2,
    // which does nothing here, as Escape does.
    return FALSE;
}

} // namespace

void OpenLocationsDialog(HINSTANCE instance, HWND owner, void (*dropOwnerList)()) {
    if (visitRunning)
        return;
    visitRunning = true;
    DialogBoxParamA(instance, "Locations", owner, LocationsDialogProc, 0);
    FreeLocationTable(&dialogTable);
    // The list is rewritten and every box shown once the modal loop has returned, so that the
    // dialog is gone whichever way OK reached it.
    if (confirmed)
        ApplyAndReload(owner, dropOwnerList);
    visitRunning = false;
}
