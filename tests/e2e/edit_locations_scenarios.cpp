// The Edit Locations dialog: what it shows, what the keys do, and what OK leaves in "urls.txt"
// and in the main window's picker for each kind of edit.
#include "tests/e2e/main_window_steps.h"

namespace {
using namespace e2e;

const std::vector<Location> kThree = {
    {"One", "http://a/"}, {"Two", "http://b/"}, {"Three", "http://c/"}};
// Bare line ends: a rewrite would turn them into CR LF, so they show that nothing was written.
const std::string kBareLfList = "2\nOne\nhttp://a/\nTwo\nhttp://b/\n";
// Two entries with one description.
const std::vector<Location> kTwins = {
    {"One", "http://a/"}, {"Two", "http://b/"}, {"One", "http://c/"}};

// The dialog's controls.
struct LocationsDialog {
    HWND window;
    HWND ok, cancel;
    HWND addDescription, addAddress;
    HWND deleteBox;
    HWND modifyBox, newAddress; // the Modify box's own edit field holds the new description
};

std::vector<std::string> DescriptionsOf(const std::vector<Location>& locations) {
    std::vector<std::string> descriptions;
    for (const Location& location : locations)
        descriptions.push_back(location.description);
    return descriptions;
}

// What both boxes list for these entries.
std::vector<std::string> BoxItems(const std::vector<Location>& locations) {
    std::vector<std::string> items = {"<Nothing>"};
    for (const Location& location : locations)
        items.push_back(location.description);
    return items;
}

// The control that has the keyboard focus in the thread of window.
HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

void ExpectFocus(HWND control, Where where = {}) {
    if (!WaitUntil([&] { return FocusOf(control) == control; }))
        ADD_FAILURE_AT(where.file, where.line)
            << "the focus is not on control " << GetDlgCtrlID(control);
}

// A key as the keyboard gives it to the dialog's message loop.
void Key(HWND dialog, WPARAM key) {
    PostMessageA(dialog, WM_KEYDOWN, key, 0);
    PostMessageA(dialog, WM_KEYUP, key, 0xC0000000);
}

// Types text into an edit box, or into the edit field of a combo box, one character at a time.
void Type(HWND control, const std::string& text) {
    HWND edit = FindWindowExA(control, nullptr, "Edit", nullptr);
    for (char c : text)
        PostMessageA(edit ? edit : control, WM_CHAR, static_cast<unsigned char>(c), 1);
}

class EditLocations : public Scenario {
  protected:
    // Starts the program on this list, everything else as TypicalStart has it (or as the
    // scenario changed it since), and waits for the filled picker.
    void StartOn(const std::vector<Location>& locations, Where where = {}) {
        if (!typical_)
            TypicalStart();
        typical_ = true;
        PutFile("urls.txt", ListFile(locations));
        Start("tarsel.exe", "", where);
        ExpectFilledPicker(MainWindow(where), DescriptionsOf(locations), where);
    }

    // Opens the dialog from the main window's system menu.
    LocationsDialog Open(Where where = {}) {
        SysCommand(MainWindow(where), IDM_EDIT_LOCATIONS);
        LocationsDialog d = {};
        d.window = WaitDialog("Edit Locations", where);
        if (!d.window)
            return d;
        d.ok = Item(d.window, IDC_LOCATIONS_OK, where);
        d.cancel = Item(d.window, IDC_LOCATIONS_CANCEL, where);
        d.addDescription = Item(d.window, IDC_LOCATIONS_ADD_DESCRIPTION, where);
        d.addAddress = Item(d.window, IDC_LOCATIONS_ADD_ADDRESS, where);
        d.deleteBox = Item(d.window, IDC_LOCATIONS_DELETE_BOX, where);
        d.modifyBox = Item(d.window, IDC_LOCATIONS_MODIFY_BOX, where);
        d.newAddress = Item(d.window, IDC_LOCATIONS_MODIFY_ADDRESS, where);
        return d;
    }

    // Presses OK and waits until the dialog has ended and the main window has reloaded.
    void PressOk(const LocationsDialog& d, Where where = {}) {
        Click(d.ok);
        ExpectGone(d.window, where);
    }

    // After OK: the list file holds these entries and the picker shows them.
    void ExpectList(const std::vector<Location>& locations, Where where = {}) {
        ExpectFile("urls.txt", ListFile(locations), where);
        ExpectNoFile("urls.tmp", where);
        ExpectFilledPicker(MainWindow(where), DescriptionsOf(locations), where);
    }

    // Chooses entry k (counting from 1) for modification and gives it a new description and
    // address.
    void Modify(const LocationsDialog& d, int k, const std::string& description,
                const std::string& address, Where where = {}) {
        Select(d.modifyBox, k);
        ExpectEnabled(d.newAddress, true, where);
        SetText(d.modifyBox, description);
        SetText(d.newAddress, address);
    }

    // The files and registry of TypicalStart, made once for the scenario.
    void Prepare() {
        TypicalStart();
        typical_ = true;
    }

  private:
    bool typical_ = false;
};

using TheEditLocationsDialog = EditLocations;
using AnAdd = EditLocations;
using ADelete = EditLocations;
using AModify = EditLocations;
using TheLocationLimit = EditLocations;

TEST_F(TheEditLocationsDialog, OpensWithNothingChosenAndTheDescriptionsInFileOrder) {
    StartOn(kThree);
    LocationsDialog d = Open();
    ASSERT_NE(d.window, nullptr);
    EXPECT_EQ(GetWindow(d.window, GW_OWNER), MainWindow());
    ExpectEnabled(MainWindow(), false);
    for (HWND box : {d.deleteBox, d.modifyBox}) {
        ExpectComboItems(box, BoxItems(kThree));
        ExpectComboSelection(box, 0);
    }
    ExpectText(d.modifyBox, "<Nothing>");
    ExpectText(d.addDescription, "");
    ExpectText(d.addAddress, "http://");
    ExpectText(d.newAddress, "");
    ExpectEnabled(d.newAddress, false);
    // OK, the first tab stop, has the focus.
    ExpectFocus(d.ok);

    const struct {
        int id;
        const char* text;
    } texts[] = {
        {IDC_LOCATIONS_OK, "OK"},
        {IDC_LOCATIONS_CANCEL, "Cancel"},
        {IDC_LOCATIONS_ADD_GROUP, "Add"},
        {IDC_LOCATIONS_ADD_DESCRIPTION_LABEL, "Description"},
        {IDC_LOCATIONS_ADD_ADDRESS_LABEL, "Address"},
        {IDC_LOCATIONS_DELETE_GROUP, "Delete"},
        {IDC_LOCATIONS_MODIFY_GROUP, "Modify"},
        {IDC_LOCATIONS_MODIFY_DESCRIPTION_LABEL, "Description"},
        {IDC_LOCATIONS_MODIFY_ADDRESS_LABEL, "Address"},
    };
    for (const auto& t : texts)
        EXPECT_EQ(Text(Item(d.window, t.id)), t.text) << "control " << t.id;
    LONG style = GetWindowLongA(d.window, GWL_STYLE);
    EXPECT_EQ(style & WS_SYSMENU, 0) << "the dialog has no close box";
}

TEST_F(TheEditLocationsDialog, OfAnEmptyListShowsNoItemsYetAddsAnEntry) {
    StartOn({});
    LocationsDialog d = Open();
    ASSERT_NE(d.window, nullptr);
    for (HWND box : {d.deleteBox, d.modifyBox}) {
        ExpectComboItems(box, {});
        ExpectComboSelection(box, CB_ERR);
    }
    ExpectText(d.addAddress, "http://");
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    PressOk(d);
    ExpectList({{"New", "http://n/"}});
}

TEST_F(TheEditLocationsDialog, OkWithoutChangesWritesNothingAndReloadsThePicker) {
    StartOn(kTypicalLocations);
    PutFile("urls.txt", kBareLfList);
    LocationsDialog d = Open();
    ExpectComboItems(d.deleteBox, BoxItems(kTypicalLocations));
    // Changed behind the program's back: the reload shows it.
    const std::string changed = "3\nOne\nhttp://a/\nTwo\nhttp://b/\nAdded\nhttp://x/\n";
    PutFile("urls.txt", changed);
    PressOk(d);
    ExpectFile("urls.txt", changed);
    ExpectNoFile("urls.tmp");
    ExpectFilledPicker(MainWindow(), {"One", "Two", "Added"});
}

TEST_F(TheEditLocationsDialog, CancelAfterEditsChangesNothingAndTheNextVisitStartsAfresh) {
    StartOn(kThree);
    LocationsDialog d = Open();
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    Select(d.deleteBox, 1);
    Modify(d, 2, "Zwei", "http://z/");
    Click(d.cancel);
    ExpectGone(d.window);
    ExpectFile("urls.txt", ListFile(kThree));
    ExpectFilledPicker(MainWindow(), DescriptionsOf(kThree));

    // A modification chosen in the cancelled visit is not applied by the next OK.
    LocationsDialog again = Open();
    ExpectText(again.addAddress, "http://");
    ExpectEnabled(again.newAddress, false);
    PressOk(again);
    ExpectList(kThree);
}

TEST_F(TheEditLocationsDialog, IgnoresEnterAndEscapeButEnterRightAfterOpeningPressesOk) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    ExpectFocus(d.ok);
    // Escape, then Enter in the add description box, do nothing.
    Key(d.window, VK_ESCAPE);
    SetText(d.addDescription, "New");
    Key(d.window, VK_TAB);
    Key(d.window, VK_TAB);
    ExpectFocus(d.addDescription);
    Key(d.window, VK_RETURN);
    Key(d.window, VK_ESCAPE);
    // Handled after the keys: by then they have done whatever they do.
    Select(d.modifyBox, 1);
    ExpectEnabled(d.newAddress);
    EXPECT_TRUE(Visible(d.window));
    ExpectFile("urls.txt", ListFile(kTypicalLocations));
    Click(d.cancel);
    ExpectGone(d.window);

    // A click into an edit box takes the focus from OK: Enter there does nothing either.
    LocationsDialog again = Open();
    ExpectFocus(again.ok);
    PostMessageA(again.addDescription, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    PostMessageA(again.addDescription, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ExpectFocus(again.addDescription);
    Key(again.window, VK_RETURN);
    Select(again.modifyBox, 1);
    ExpectEnabled(again.newAddress);
    EXPECT_TRUE(Visible(again.window));
    Click(again.cancel);
    ExpectGone(again.window);

    again = Open();
    ExpectFocus(again.ok);
    SetText(again.addDescription, "New");
    SetText(again.addAddress, "http://n/");
    Key(again.window, VK_RETURN);
    ExpectGone(again.window);
    ExpectList({{"New", "http://n/"}, {"One", "http://a/"}, {"Two", "http://b/"}});
}

TEST_F(TheEditLocationsDialog, StaysOpenOnAltF4AndMovesByItsTitleBar) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    RECT frame = WindowRect(d.window);
    DWORD_PTR hit = 0;
    SendMessageTimeoutW(d.window, WM_NCHITTEST, 0,
                        MAKELPARAM((frame.left + frame.right) / 2, frame.top + 8), SMTO_BLOCK,
                        kTimeoutMs, &hit);
    EXPECT_EQ(hit, static_cast<DWORD_PTR>(HTCAPTION));

    const LPARAM altDown = 1 << 29;
    PostMessageA(d.window, WM_SYSKEYDOWN, VK_F4, altDown | 1);
    // Two rounds: the key's close command is posted while the key is handled.
    Select(d.modifyBox, 1);
    ExpectEnabled(d.newAddress);
    Select(d.modifyBox, 0);
    ExpectEnabled(d.newAddress, false);
    EXPECT_TRUE(Visible(d.window));
    ExpectEnabled(MainWindow(), false);
    Click(d.cancel);
    ExpectGone(d.window);
    ExpectEnabled(MainWindow());
    ExpectFile("urls.txt", ListFile(kTypicalLocations));
}

TEST_F(TheEditLocationsDialog, MakesTheWorkedExampleWithADeleteAModifyAndAnAddInOneOk) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    Select(d.deleteBox, 1);
    Modify(d, 2, "Zwei", "http://z/");
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    PressOk(d);
    ExpectFile("urls.txt", "2\r\nNew\r\nhttp://n/\r\nZwei\r\nhttp://z/\r\n");
    ExpectList({{"New", "http://n/"}, {"Zwei", "http://z/"}});
}

TEST_F(TheEditLocationsDialog, OkRepeatsTheStartFilesLaunchOnTheNewList) {
    Prepare();
    PutFile("tarsel.inf", StartFile("2"));
    StartOn(kTypicalLocations);
    std::string browser = "\"" + BrowserPath() + "\"";
    ExpectLaunches({browser + " http://b/"});
    LocationsDialog d = Open();
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    PressOk(d);
    ExpectList({{"New", "http://n/"}, {"One", "http://a/"}, {"Two", "http://b/"}});
    ExpectLaunches({browser + " http://b/", browser + " http://a/"});
    ExpectComboSelection(Item(MainWindow(), IDC_MAIN_PICKER), 1);
}

TEST_F(TheEditLocationsDialog, WithoutTheListFileOpensEmptyAndOkStillTriesTheAdd) {
    StartOn(kTypicalLocations);
    RemoveFile("urls.txt");
    LocationsDialog d = Open();
    ExpectBoxes({{"Halvorn", "Failed to open URLS.LST"}});
    ASSERT_NE(d.window, nullptr);
    for (HWND box : {d.deleteBox, d.modifyBox})
        ExpectComboItems(box, {});
    ExpectText(d.addAddress, "");
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    PressOk(d);
    // The add's own failure, then the main window's reload.
    std::vector<Box> boxes = ExpectBoxes(
        {{"Halvorn", "Failed to open URLS.LST"}, {"Halvorn", "Failed to open URLS.TXT"}});
    for (const Box& box : boxes) {
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_TRUE(box.topmost);
    }
    ExpectNoFile("urls.txt");
    ExpectNoFile("urls.tmp");
    ExpectComboItems(Item(MainWindow(), IDC_MAIN_PICKER), {});
    ExpectRunning();
}

TEST_F(AnAdd, KeepsTheAddressLeftAtHttpAndNeedsADescription) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    SetText(d.addAddress, "http://nameless/");
    PressOk(d);
    ExpectList(kTypicalLocations);

    d = Open();
    SetText(d.addDescription, "New");
    PressOk(d);
    ExpectList({{"New", "http://"}, {"One", "http://a/"}, {"Two", "http://b/"}});
}

TEST_F(TheEditLocationsDialog, StopsTypingAtTheLengthsThatOkTakes) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    Select(d.modifyBox, 1);
    ExpectEnabled(d.newAddress);
    const struct {
        const char* box;
        HWND control;
        size_t limit;
    } boxes[] = {
        {"add description", d.addDescription, 119},
        {"add address", d.addAddress, 119},
        {"new description", d.modifyBox, 199},
        {"new address", d.newAddress, 299},
    };
    for (const auto& b : boxes) {
        SCOPED_TRACE(b.box);
        SetText(b.control, "");
        Type(b.control, std::string(b.limit + 5, 'x'));
        ExpectText(b.control, std::string(b.limit, 'x'));
    }
}

TEST_F(TheEditLocationsDialog, CutsLongerTextsSetIntoItsBoxesAtOk) {
    StartOn(kTypicalLocations);
    LocationsDialog d = Open();
    const std::string description(250, 'd');
    const std::string address = "http://" + std::string(343, 'a');
    SetText(d.addDescription, description);
    SetText(d.addAddress, address);
    Modify(d, 2, description, address);
    ExpectText(d.addDescription, description);
    PressOk(d);
    ExpectList({{description.substr(0, 119), address.substr(0, 119)},
                {"One", "http://a/"},
                {description.substr(0, 199), address.substr(0, 299)}});
}

TEST_F(ADelete, RemovesTheChosenEntry) {
    StartOn(kThree);
    LocationsDialog d = Open();
    Select(d.deleteBox, 2);
    PressOk(d);
    ExpectList({{"One", "http://a/"}, {"Three", "http://c/"}});
}

TEST_F(ADelete, OrAModifyOfOneOfTwoEntriesWithOneDescriptionLeavesTheOther) {
    const struct {
        const char* name;
        int deleteItem;
        int modifyItem;
        std::vector<Location> after;
    } cases[] = {
        {"delete the first", 1, 0, {{"Two", "http://b/"}, {"One", "http://c/"}}},
        {"delete the second", 3, 0, {{"One", "http://a/"}, {"Two", "http://b/"}}},
        {"modify the first",
         0,
         1,
         {{"Uno", "http://u/"}, {"Two", "http://b/"}, {"One", "http://c/"}}},
        {"modify the second",
         0,
         3,
         {{"One", "http://a/"}, {"Two", "http://b/"}, {"Uno", "http://u/"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartOn(kTwins);
        LocationsDialog d = Open();
        if (c.deleteItem)
            Select(d.deleteBox, c.deleteItem);
        if (c.modifyItem)
            Modify(d, c.modifyItem, "Uno", "http://u/");
        PressOk(d);
        ExpectList(c.after);
        Close();
        ExpectExit(0);
    }
}

TEST_F(ADelete, OrAModifyReachesAnEntryWithAnEmptyDescription) {
    const std::vector<Location> before = {{"", "http://e/"}, {"Two", "http://b/"}};
    const struct {
        const char* name;
        bool remove;
        std::vector<Location> after;
    } cases[] = {
        {"delete", true, {{"Two", "http://b/"}}},
        {"modify", false, {{"Named", "http://e/"}, {"Two", "http://b/"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartOn(before);
        LocationsDialog d = Open();
        ExpectComboItems(d.deleteBox, BoxItems(before));
        if (c.remove) {
            Select(d.deleteBox, 1);
        } else {
            Select(d.modifyBox, 1);
            ExpectText(d.newAddress, "http://e/");
            SetText(d.modifyBox, "Named");
        }
        PressOk(d);
        ExpectList(c.after);
        Close();
        ExpectExit(0);
    }
}

TEST_F(AModify, ChangesTheDescriptionAndTheAddressOfTheChosenEntry) {
    StartOn(kThree);
    LocationsDialog d = Open();
    Select(d.modifyBox, 2);
    // The chosen entry's description and stored address, ready for editing.
    ExpectText(d.modifyBox, "Two");
    ExpectText(d.newAddress, "http://b/");
    ExpectEnabled(d.newAddress);
    SetText(d.modifyBox, "Zwei");
    SetText(d.newAddress, "http://z/");
    PressOk(d);
    ExpectList({{"One", "http://a/"}, {"Zwei", "http://z/"}, {"Three", "http://c/"}});
}

TEST_F(AModify, IsMadeOnlyWhenTheTextsChangeCaseIncluded) {
    const struct {
        const char* name;
        const char* description; // nullptr: the texts are left as the choice set them
        const char* address;
        std::string after; // "urls.txt"
    } cases[] = {
        {"chosen and left alone", nullptr, nullptr, kBareLfList},
        {"the same texts typed again", "Two", "http://b/", kBareLfList},
        {"a change of case", "two", "http://b/",
         ListFile({{"One", "http://a/"}, {"two", "http://b/"}})},
        {"the address alone", "Two", "http://B/",
         ListFile({{"One", "http://a/"}, {"Two", "http://B/"}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StartOn(kTypicalLocations);
        PutFile("urls.txt", kBareLfList);
        LocationsDialog d = Open();
        if (c.description) {
            Modify(d, 2, c.description, c.address);
        } else {
            Select(d.modifyBox, 2);
            ExpectText(d.newAddress, "http://b/");
        }
        PressOk(d);
        ExpectFile("urls.txt", c.after);
        Close();
        ExpectExit(0);
    }
}

TEST_F(AModify, GetsTheStoredAddressBackWhenTheDeleteBoxChanges) {
    StartOn(kThree);
    LocationsDialog d = Open();
    Modify(d, 3, "Three", "http://typed/");
    Select(d.deleteBox, 1);
    ExpectText(d.newAddress, "http://c/");
    // Three keeps its description and its stored address again: only the delete is made.
    PressOk(d);
    ExpectList({{"Two", "http://b/"}, {"Three", "http://c/"}});
}

TEST_F(AModify, IsWithdrawnByChoosingNothing) {
    // An entry with neither description nor address: a withdrawn modify must not reach it
    // either.
    const std::string list = "3\nOne\nhttp://a/\nTwo\nhttp://b/\n\n\n";
    StartOn(kTypicalLocations);
    PutFile("urls.txt", list);
    LocationsDialog d = Open();
    Modify(d, 1, "Eins", "http://e/");
    Select(d.modifyBox, 0);
    ExpectText(d.modifyBox, "<Nothing>");
    ExpectText(d.newAddress, "");
    ExpectEnabled(d.newAddress, false);
    PressOk(d);
    ExpectFile("urls.txt", list);
    ExpectFilledPicker(MainWindow(), {"One", "Two", ""});
}

TEST_F(AModify, KeepsALongAddressWhole) {
    const std::string address = "http://" + std::string(280, 'l') + "/";
    StartOn({{"One", address}, {"Two", "http://b/"}});
    LocationsDialog d = Open();
    Select(d.modifyBox, 1);
    ExpectText(d.newAddress, address);
    SetText(d.modifyBox, "Uno");
    PressOk(d);
    ExpectList({{"Uno", address}, {"Two", "http://b/"}});
}

TEST_F(TheLocationLimit, RefusesAnAddToNinetyNineEntriesAfterTheDialogHasClosed) {
    const std::vector<Location> full = NumberedLocations(99);
    StartOn(full);
    HWND window = MainWindow();
    HWND picker = Item(window, IDC_MAIN_PICKER);
    LocationsDialog d = Open();
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    HoldBoxes();
    Click(d.ok);
    WaitOpenBox();
    // While the box is up the dialog has gone, and the main window takes input with an empty
    // picker: "Go" launches nothing, and Edit Locations does not open a second visit.
    EXPECT_FALSE(Visible(d.window));
    EXPECT_EQ(ComboCount(picker), 0);
    ExpectEnabled(window);
    Click(Item(window, IDC_MAIN_GO));
    SysCommand(window, IDM_EDIT_LOCATIONS);
    SysCommand(window, IDM_ABOUT);
    HWND about = WaitDialog("About...");
    EXPECT_EQ(FindDialog("Edit Locations"), nullptr);
    Click(Item(about, IDC_ABOUT_OK));
    ExpectGone(about);
    ReleaseBoxes();

    std::vector<Box> boxes = ExpectBoxes({{"Maximum Locations", "Location limit is 99."}});
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_TRUE(boxes[0].topmost);
    ExpectGone(d.window);
    ExpectList(full);
    EXPECT_TRUE(BrowserLaunches().empty());
    ExpectNoBoxes();
}

TEST_F(TheLocationLimit, TakesAnAddToNinetyNineEntriesWithADelete) {
    std::vector<Location> full = NumberedLocations(99);
    StartOn(full);
    LocationsDialog d = Open();
    Select(d.deleteBox, 1);
    SetText(d.addDescription, "New");
    SetText(d.addAddress, "http://n/");
    PressOk(d);
    full[0] = {"New", "http://n/"};
    ExpectList(full);
    ExpectNoBoxes();
}

} // namespace
