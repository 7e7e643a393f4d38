// Long use: many rounds of editing the list, "Go" and Configure in one run of the program. The
// files and the registry must end exactly as the last round left them, every launch must have
// reached the browser, and the program must not gather handles or window objects on the way.
#include "tests/e2e/rig.h"

#include "resources/resource.h"

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {
using namespace e2e;

// Rounds of one run: add, delete, Configure OK, "Go".
const int kSoakRounds = 200;

// Growth allowed over the rounds, counted from the end of the first round (which loads what
// every later round shares: dialog classes, fonts, the browser start).
const DWORD kHandleSlack = 16;
const DWORD kGuiObjectSlack = 16;

// Wine's WaitForInputIdle, which WinExec calls for every launch, leaves one event handle open in
// the caller each time (Wine 8: the handle of the started process's idle event is never closed).
// Counted apart, so that everything else is held to the slack.
DWORD WineHandlesPerLaunch() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") ? 1 : 0;
}

const Location kSoakEntry = {"Soak", "http://soak/"};

struct ResourceCounts {
    DWORD handles = 0;
    DWORD windows = 0; // top-level and child windows, the USER objects that Wine lets us count
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

// One handle of the system's handle table (SystemHandleInformation). Windows names the owner by
// a 16-bit process id followed by a back-trace index; Wine by a 32-bit one. Process ids of the
// rig's processes fit 16 bits either way.
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ULONG access;
};
const ULONG kSystemHandleInformation = 16;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
typedef LONG(WINAPI* QuerySystemInformation)(ULONG, void*, ULONG, ULONG*);

// The handles of processId in the system's handle table. Wine's GetProcessHandleCount gives 0
// for every process; its handle table is complete.
DWORD HandlesInSystemTable(DWORD processId) {
    FARPROC proc = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (!proc)
        return 0;
    QuerySystemInformation query =
        reinterpret_cast<QuerySystemInformation>(reinterpret_cast<void*>(proc));
    std::vector<char> table(1 << 16);
    LONG status;
    while ((status = query(kSystemHandleInformation, table.data(), static_cast<ULONG>(table.size()),
                           nullptr)) == kStatusInfoLengthMismatch &&
           table.size() < (1u << 28))
        table.resize(table.size() * 2);
    if (status != 0)
        return 0;
    ULONG count = *reinterpret_cast<const ULONG*>(table.data());
    size_t room = (table.size() - sizeof(void*)) / sizeof(SystemHandleEntry);
    const SystemHandleEntry* entries =
        reinterpret_cast<const SystemHandleEntry*>(table.data() + sizeof(void*));
    DWORD handles = 0;
    for (size_t i = 0; i < count && i < room; ++i)
        if ((entries[i].ownerProcessId & 0xFFFF) == (processId & 0xFFFF))
            ++handles;
    return handles;
}

struct WindowCount {
    DWORD processId;
    DWORD windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<WindowCount*>(data)->windows;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
    WindowCount& count = *reinterpret_cast<WindowCount*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId == count.processId) {
        ++count.windows;
        EnumChildWindows(window, CountChild, data);
    }
    return TRUE;
}

ResourceCounts CountsOf(DWORD processId) {
    ResourceCounts counts;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process) {
        if (!GetProcessHandleCount(process, &counts.handles))
            counts.handles = 0;
        counts.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
        counts.userObjects = GetGuiResources(process, GR_USEROBJECTS);
        CloseHandle(process);
    }
    if (counts.handles == 0)
        counts.handles = HandlesInSystemTable(processId);
    WindowCount windows = {processId, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&windows));
    counts.windows = windows.windows;
    return counts;
}

std::string Describe(const ResourceCounts& counts) {
    return std::to_string(counts.handles) + " handles, " + std::to_string(counts.windows) +
           " windows, " + std::to_string(counts.gdiObjects) + " GDI objects, " +
           std::to_string(counts.userObjects) + " USER objects";
}

struct DialogSearch {
    DWORD processId;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindCaptionedDialog(HWND window, LPARAM data) {
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t caption[64] = {};
    if (processId != search.processId || ClassOf(window) != "#32770" || !Visible(window) ||
        !InternalGetWindowText(window, caption, 64) || wcscmp(caption, search.caption) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

class ManyRounds : public Scenario {
  protected:
    // The dialogs pass WM_GETTEXT to DefWindowProcA, whose answer the dialog manager drops, so
    // their captions are read as the title bar shows them.
    HWND WaitCaptionedDialog(const wchar_t* caption, Where where = {}) {
        DialogSearch search = {ProcessId(), caption, nullptr};
        if (!WaitUntil([&] {
                EnumWindows(FindCaptionedDialog, reinterpret_cast<LPARAM>(&search));
                return search.found != nullptr;
            }))
            ADD_FAILURE_AT(where.file, where.line) << "no dialog " << caption;
        return search.found;
    }

    // The Edit Locations dialog, opened from the system menu.
    HWND OpenLocations() {
        SysCommand(MainWindow(), IDM_EDIT_LOCATIONS);
        return WaitCaptionedDialog(L"Edit Locations");
    }

    // One OK of the Edit Locations dialog, and the reload it makes.
    void FinishLocations(HWND dialog, const std::vector<Location>& list) {
        Click(Item(dialog, IDC_LOCATIONS_OK));
        ExpectGone(dialog);
        ExpectFile("urls.txt", ListFile(list));
        std::vector<std::string> descriptions;
        for (const Location& location : list)
            descriptions.push_back(location.description);
        ExpectComboItems(Item(MainWindow(), IDC_MAIN_PICKER), descriptions);
    }

    void AddSoakEntry() {
        HWND dialog = OpenLocations();
        if (!dialog)
            return;
        SetText(Item(dialog, IDC_LOCATIONS_ADD_DESCRIPTION), kSoakEntry.description);
        SetText(Item(dialog, IDC_LOCATIONS_ADD_ADDRESS), kSoakEntry.address);
        // An added entry goes first.
        std::vector<Location> list = {kSoakEntry};
        list.insert(list.end(), kTypicalLocations.begin(), kTypicalLocations.end());
        FinishLocations(dialog, list);
    }

    void DeleteSoakEntry() {
        HWND dialog = OpenLocations();
        if (!dialog)
            return;
        // "<Nothing>", then the entries in file order: the added one first.
        Select(Item(dialog, IDC_LOCATIONS_DELETE_BOX), 1);
        FinishLocations(dialog, kTypicalLocations);
    }

    // Configure OK with auto-dial switched as given; auto-disconnect and the minutes stay.
    void Configure(bool autoDial) {
        SysCommand(MainWindow(), IDM_CONNECTION);
        HWND dialog = WaitCaptionedDialog(L"Configure");
        if (!dialog)
            return;
        Click(Item(dialog, autoDial ? IDC_CONFIG_DIAL_ENABLE : IDC_CONFIG_DIAL_DISABLE));
        Click(Item(dialog, IDC_CONFIG_OK));
        ExpectGone(dialog);
        ExpectFile("dial.inf", DialFile(autoDial));
    }

    // "Go" on the first entry; waits for the browser to record it.
    void Go(size_t launchesBefore) {
        Click(Item(MainWindow(), IDC_MAIN_GO));
        std::vector<std::string> expected(launchesBefore + 1, "\"" + BrowserPath() + "\" " +
                                                                  kTypicalLocations[0].address);
        ExpectLaunches(expected);
    }

    // Auto-dial alternates, so every "Go" has a switch to carry into the registry.
    static bool AutoDialOfRound(int round) {
        return round % 2 == 1;
    }

    void Round(int round) {
        AddSoakEntry();
        DeleteSoakEntry();
        bool autoDial = AutoDialOfRound(round);
        Configure(autoDial);
        Go(static_cast<size_t>(round));
        ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDial", REG_BINARY,
                       Le32(autoDial ? 1 : 0));
    }
};

TEST_F(ManyRounds, OfEditingGoAndConfigureLeaveExactStateAndNoGrowth) {
    TypicalStart();
    Start();
    ExpectVisible(MainWindow());

    Round(0);
    ASSERT_FALSE(HasFailure());
    ResourceCounts before = CountsOf(ProcessId());
    ASSERT_GT(before.handles, 0u) << "no handle count for the program";
    ASSERT_GT(before.windows, 0u) << "no windows of the program";
    // The window creeps under Wine at start (its frame differs from the one the position file
    // assumes); the rounds must not move it.
    std::string position = FileBytes("tarsel.ini");

    DWORD started = GetTickCount();
    for (int round = 1; round < kSoakRounds && !HasFailure(); ++round)
        Round(round);
    DWORD took = GetTickCount() - started;
    ASSERT_FALSE(HasFailure());
    ResourceCounts after = CountsOf(ProcessId());
    std::printf("%d rounds in %lu ms; after the first: %s; after the last: %s\n", kSoakRounds,
                static_cast<unsigned long>(took), Describe(before).c_str(),
                Describe(after).c_str());

    // What the last round left: the list as it started, auto-dial as the last round set it, the
    // other settings untouched.
    bool autoDial = AutoDialOfRound(kSoakRounds - 1);
    ExpectFile("urls.txt", ListFile(kTypicalLocations));
    ExpectFile("dial.inf", DialFile(autoDial));
    ExpectFile("disc.inf", DiscFile(true, "10"));
    ExpectFile("tarsel.ini", position);
    ExpectNoFile("urls.tmp");
    ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDial", REG_BINARY,
                   Le32(autoDial ? 1 : 0));
    ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDisconnect", REG_BINARY,
                   Le32(1));
    ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, "DisconnectIdleTime", REG_BINARY,
                   Le32(10));
    ExpectRegValue(HKEY_CURRENT_USER, kRemoteAccess, "InternetProfile", REG_SZ,
                   std::string("My ISP") + '\0');
    EXPECT_EQ(BrowserLaunches().size(), static_cast<size_t>(kSoakRounds));

    DWORD launchesCounted = static_cast<DWORD>(kSoakRounds - 1);
    EXPECT_LE(after.handles,
              before.handles + launchesCounted * WineHandlesPerLaunch() + kHandleSlack);
    EXPECT_LE(after.windows, before.windows + kGuiObjectSlack);
    // Wine counts no GUI objects (GetGuiResources gives 0): these hold trivially there.
    EXPECT_LE(after.gdiObjects, before.gdiObjects + kGuiObjectSlack);
    EXPECT_LE(after.userObjects, before.userObjects + kGuiObjectSlack);

    ExpectNoBoxes();
    Close();
    ExpectExit(0);
}

} // namespace
