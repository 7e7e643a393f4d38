// The Edit Locations dialog. In one visit the user prepares at most one add, one delete and one
// modify in pendingEdit; nothing touches the list until OK.
//
// The Delete and Modify boxes list "<Nothing>" first and then the descriptions of the dialog's
// own table in file order, so item k > 0 always stands for entry k - 1.
#include "locations/locations_dialog.h"

#include "app/launch.h"
#include "common/message_boxes.h"
#include "locations/list_rewrite.h"
#include "locations/location_list.h"
#include "resources/resource.h"

#include <cstring>

namespace {

// Longest texts the boxes take: what OK reads of them.
const int kAddTextLength = 119;
const int kModifyTextLength = 199;

// The dialog's own table and its two boxes; one visit at a time.
LocationTable dialogTable;
HWND deleteBox;
HWND modifyBox;

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

void LimitTyping(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ADD_DESCRIPTION, EM_LIMITTEXT, kAddTextLength, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_ADD_ADDRESS, EM_LIMITTEXT, kAddTextLength, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_MODIFY_BOX, CB_LIMITTEXT, kModifyTextLength, 0);
    SendDlgItemMessageA(dialog, IDC_LOCATIONS_MODIFY_ADDRESS, EM_LIMITTEXT, kModifyTextLength, 0);
}

LRESULT InitLocationsDialog(HWND dialog) {
    // Nothing prepared in an earlier visit, a cancelled one included, survives into this one.
    memset(&pendingEdit, 0, sizeof pendingEdit);
    LimitTyping(dialog);

    deleteBox = GetDlgItem(dialog, IDC_LOCATIONS_DELETE_BOX);
    modifyBox = GetDlgItem(dialog, IDC_LOCATIONS_MODIFY_BOX);
    if (!deleteBox) {
        ShowFailureBox("Failed to get combobox");
        return 0;
    }
    if (!LoadLocationList(&dialogTable, "Failed to open URLS.LST", false))
        return 0;

    if (dialogTable.count > 0) {
        SendMessageA(deleteBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("<Nothing>"));
        SendMessageA(modifyBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("<Nothing>"));
        for (int i = 0; i < dialogTable.count; ++i) {
            LPARAM description = reinterpret_cast<LPARAM>(dialogTable.entries[i].description);
            SendMessageA(deleteBox, CB_ADDSTRING, 0, description);
            SendMessageA(modifyBox, CB_ADDSTRING, 0, description);
        }
    }
    SendMessageA(deleteBox, CB_SETCURSEL, 0, 0);
    SendMessageA(modifyBox, CB_SETCURSEL, 0, 0);
    SetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_ADDRESS, "http://");
    return 1;
}

// A selection change in either box looks at the Modify box: an entry chosen there is prepared
// for modification and its address offered for editing; "<Nothing>" withdraws it.
void OnSelectionChange(HWND dialog) {
    HWND newAddress = GetDlgItem(dialog, IDC_LOCATIONS_MODIFY_ADDRESS);
    LRESULT k = SendMessageA(modifyBox, CB_GETCURSEL, 0, 0);
    if (const LocationEntry* entry = EntryForItem(k)) {
        SetWindowTextA(newAddress, entry->address);
        EnableWindow(newAddress, TRUE);
        CopyText(pendingEdit.modifyOldDescription, sizeof pendingEdit.modifyOldDescription,
                 entry->description);
        CopyText(pendingEdit.modifyOldAddress, sizeof pendingEdit.modifyOldAddress, entry->address);
    } else if (k == 0) {
        SetWindowTextA(newAddress, "");
        EnableWindow(newAddress, FALSE);
        pendingEdit.modifyOldDescription[0] = '\0';
        pendingEdit.modifyOldAddress[0] = '\0';
    }
}

void CollectPendingEdit(HWND dialog) {
    PendingEdit& edit = pendingEdit;
    GetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_DESCRIPTION, edit.addDescription, kAddTextLength + 1);
    GetDlgItemTextA(dialog, IDC_LOCATIONS_ADD_ADDRESS, edit.addAddress, kAddTextLength + 1);
    if (const LocationEntry* entry = EntryForItem(SendMessageA(deleteBox, CB_GETCURSEL, 0, 0))) {
        CopyText(edit.deleteDescription, sizeof edit.deleteDescription, entry->description);
        CopyText(edit.deleteAddress, sizeof edit.deleteAddress, entry->address);
    }
    GetDlgItemTextA(dialog, IDC_LOCATIONS_MODIFY_ADDRESS, edit.modifyNewAddress,
                    kModifyTextLength + 1);
    GetDlgItemTextA(dialog, IDC_LOCATIONS_MODIFY_BOX, edit.modifyNewDescription,
                    kModifyTextLength + 1);
    // An entry chosen for modification and left as it was is not modified.
    if (strcmp(edit.modifyNewDescription, edit.modifyOldDescription) == 0 &&
        strcmp(edit.modifyNewAddress, edit.modifyOldAddress) == 0) {
        edit.modifyOldDescription[0] = '\0';
        edit.modifyOldAddress[0] = '\0';
    }
}

void OnLocationsOk(HWND dialog) {
    HWND mainWindow = GetWindow(dialog, GW_OWNER);
    CollectPendingEdit(dialog);
    int result = ApplyPendingEdits();
    FreeLocationTable(&mainTable);
    FreeLocationTable(&dialogTable);
    EndDialog(dialog, 1);
    // Emptied before the limit box can appear: the main window takes input again from here, and
    // "Go" must find no item that names the released table.
    SendMessageA(picker, CB_RESETCONTENT, 0, 0);
    if (result == kListFull)
        ShowLimitBox("Location limit is 99.", "Maximum Locations");
    SendMessageA(mainWindow, WM_INITDIALOG, 0, 0);
}

INT_PTR CALLBACK LocationsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return 0;
    case WM_INITDIALOG:
        return InitLocationsDialog(dialog);
    case WM_COMMAND:
        // Whole-wParam comparisons: Enter (IDOK) and Escape (IDCANCEL) do nothing here.
        if (HIWORD(wParam) == CBN_SELCHANGE)
            OnSelectionChange(dialog);
        else if (wParam == IDC_LOCATIONS_OK)
            OnLocationsOk(dialog);
        else if (wParam == IDC_LOCATIONS_CANCEL) {
            FreeLocationTable(&dialogTable);
            EndDialog(dialog, 1);
        }
        return 0;
    }
    return DefWindowProcA(dialog, message, wParam, lParam);
}

} // namespace

void OpenLocationsDialog(HWND owner) {
    DialogBoxParamA(GetModuleHandleA(nullptr), "Locations", owner, LocationsDialogProc, 0);
}
