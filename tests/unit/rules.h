// The program's rules on the stand-in, for the unit tests and the fuzz target: each runs one on
// its input as a file or the registry holds it and tells in words what came of it. A box reads
// "caption: text (style)", the style in hex: 1000 system-modal, 30 warning, 40 information.
#pragma once

#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "connection/idle_minutes.h"
#include "locations/list_rewrite.h"

#include <filesystem>
#include <fstream>

using standin::s;
using std::string;

// Each process works in a folder of its own, gone at its end.
inline char testFolder[] = "/tmp/tarsel-test-XXXXXX";
inline const int testFolderMade = (std::filesystem::current_path(mkdtemp(testFolder)),
                                   atexit([] { std::filesystem::remove_all(testFolder); }));

// The lines, each ended by CR LF, as the program writes them.
template <class... Texts> string Lines(const Texts&... lines) {
    return ((string(lines) + "\r\n") + ...);
}

// Writes the file; "(none)" makes none.
inline void Put(const char* name, const string& bytes) {
    if (bytes != "(none)")
        std::ofstream(name, std::ios::binary) << bytes;
}

inline string Get(const char* name) {
    std::ifstream file(name, std::ios::binary);
    return file ? string(std::istreambuf_iterator<char>(file), {}) : "(none)";
}

// The stand-in as each rule starts it (the fuzz target makes calls fail here), with the last
// error stale, as an earlier call may leave it: a box that shows a code nothing set shows it.
inline standin::State freshStandIn;
inline void Fresh() {
    for (const auto& file : std::filesystem::directory_iterator("."))
        std::filesystem::remove(file);
    s = freshStandIn;
    SetLastError(ERROR_ACCESS_DENIED);
    pendingEdit = {};
}

inline string Open() {
    return s.openFiles + s.openKeys ? " (left open)" : "";
}

// The boxes and registry writes, and a file or key left open.
inline string Log() {
    return (s.log.empty() ? "" : "; " + s.log) + Open();
}

inline string Load(const string& file) {
    Fresh();
    Put("urls.txt", file);
    LocationTable table;
    if (!LoadLocationList(&table, "", false))
        return "not loaded" + Log();
    string entries; // "description=address" each
    for (int i = 0; i < table.count; ++i)
        entries += (i ? ", " : "") +
                   (table.entries[i].description + ("=" + string(table.entries[i].address)));
    FreeLocationTable(&table);
    return entries;
}

struct Entry {
    string description, address;
};

// What the Edit Locations dialog collects; picked: the entry to delete was picked there.
struct Edit {
    Entry add, remove, modifyFrom, modifyTo;
    bool picked;
};

template <size_t size> void Copy(char (&field)[size], const string& text) {
    snprintf(field, size, "%s", text.c_str());
}

inline int Apply(const Edit& edit) {
    Copy(pendingEdit.addDescription, edit.add.description);
    Copy(pendingEdit.addAddress, edit.add.address);
    Copy(pendingEdit.deleteDescription, edit.remove.description);
    Copy(pendingEdit.deleteAddress, edit.remove.address);
    pendingEdit.deleteChosen = edit.picked;
    Copy(pendingEdit.modifyOldDescription, edit.modifyFrom.description);
    Copy(pendingEdit.modifyOldAddress, edit.modifyFrom.address);
    Copy(pendingEdit.modifyNewDescription, edit.modifyTo.description);
    Copy(pendingEdit.modifyNewAddress, edit.modifyTo.address);
    return ApplyPendingEdits();
}

// The list after the edit, and whether an add was refused as the list is full.
inline string Edited(const string& list, const Edit& edit) {
    Fresh();
    Put("urls.txt", list);
    Put("urls.tmp", "left over");
    bool full = Apply(edit) == kListFull;
    return Get("urls.txt") + (full ? " (full)" : "") + Log() +
           (Get("urls.tmp") == "(none)" ? "" : "; urls.tmp left");
}

// The window's place from "tarsel.ini" on a 1024 x 768 screen.
inline string Place(const string& file) {
    Fresh();
    Put("tarsel.ini", file);
    int x = 0, y = 0, left = 0, top = 0;
    ReadWindowPosition(&x, &y);
    WindowEdgesFor(x, y, 1024, 768, &left, &top);
    char place[64];
    snprintf(place, sizeof place, "corner %d, %d: window at %d, %d", x, y, left, top);
    return place + Log();
}

// The launch at start that "tarsel.inf" asks for in a list of five.
inline string Start(const string& file) {
    Fresh();
    Put("tarsel.inf", file);
    exitAfterLaunch = false;
    ReadStartIndex();
    if (!PrepareStartLaunch(5))
        return "none" + Log();
    return "entry " + std::to_string(StartIndex) + (exitAfterLaunch ? ", then the end" : "");
}

inline string Read(const string& dial, const string& disc) {
    Fresh();
    Put("dial.inf", dial);
    Put("disc.inf", disc);
    ConnectionSettings& c = connectionSettings = {41, 42, 43, "", 0};
    ReadConnectionSettings();
    char read[64];
    snprintf(read, sizeof read, "auto-dial %d, auto-disconnect %d, minutes %d", c.autoDial,
             c.autoDisconnect, c.idleMinutes);
    return read + Log();
}

// The files up to their notes (seen whole under Wine) when the nth call of a kind fails.
inline string Written(standin::Call failing, int nth) {
    Fresh();
    s.fail[failing].insert(nth);
    connectionSettings = {7, 0, 20, {'1', '2', '3'}, 0}; // a text not ended in its field
    WriteConnectionSettings();
    auto head = [](const char* name) { return Get(name).substr(0, Get(name).find("first")); };
    return "dial.inf: " + head("dial.inf") + "; disc.inf: " + head("disc.inf") + Log();
}

inline const string kSettings =
    "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";

// What a sync writes where both switches hold the value ("-": none), both preferences are `on`
// and the minutes 0x04030201, which the Configure dialog `changed`.
inline string Synced(const string& value, int on, bool changed) {
    Fresh();
    s.keys[kSettings] = ERROR_SUCCESS;
    for (const char* name : {"\\EnableAutoDial", "\\EnableAutoDisconnect"})
        if (value != "-")
            s.values[kSettings + name] = value;
    dialRegistryState = {0, 0};
    connectionSettings = {on, on, 0x04030201, "", changed};
    SyncAutoDial();
    SyncAutoDisconnect();
    return s.log + (connectionSettings.idleTimeChanged ? "(still changed)" : "") + Open();
}

// The browser that the default icon names, and the profile check's box ("-": no profile).
inline string Browser(const string& defaultIcon, const string& profile = "My ISP") {
    Fresh();
    s.keys["HKCR\\HTTP\\DefaultIcon"] = s.keys["HKCU\\RemoteAccess"] = ERROR_SUCCESS;
    s.values["HKCR\\HTTP\\DefaultIcon\\"] = defaultIcon;
    if (profile != "-")
        s.values["HKCU\\RemoteAccess\\InternetProfile"] = profile;
    DetectDefaultBrowser();
    CheckDialProfile();
    const char* const kinds[] = {"none", "Netscape", "Internet Explorer"};
    return kinds[BrowserKind] + Log();
}

struct Launch {
    int kind;
    string path; // in App Paths; no key when empty
    string address;
    int selected, startIndex;
    UINT started = 33; // WinExec's result
};

// What "Go" does where the registry holds the preferences already.
inline string Go(const Launch& go) {
    Fresh();
    Put("dial.inf", "1");
    Put("disc.inf", "0");
    dialRegistryState = {1, 0};
    connectionSettings = {};
    s.keys[kSettings] = ERROR_SUCCESS;
    for (string exe : {"Netscape.exe", "IEXPLORE.EXE"}) {
        string key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + exe;
        s.keys[key] = go.path.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
        s.values[key + "\\"] = go.path;
    }
    Put("urls.txt", Lines("1", "One", go.address));
    LoadLocationList(&mainTable, "", false);
    BrowserKind = go.kind;
    StartIndex = go.startIndex;
    s.execResult = go.started;
    PrepareLaunch();
    if (StartBrowserOn(&mainTable, go.selected))
        PauseAfterLaunch();
    FreeLocationTable(&mainTable);
    return s.log + Open();
}

// The minutes as the box shows them, the number, and whether they count as changed.
inline string Minutes(bool taken) {
    const ConnectionSettings& c = connectionSettings;
    return (taken ? "" : "refused: ") +
           (c.idleMinutesText + (" (" + std::to_string(c.idleMinutes))) + ")" +
           (c.idleTimeChanged ? ", changed" : "");
}

// The minutes typed over 20, with auto-disconnect on or off.
inline string Typed(const char* typed, int on) {
    connectionSettings = {1, on, 20, "20", 0};
    return Minutes(TakeOverTypedMinutes(typed));
}

inline string Stepped(int from, int step) {
    connectionSettings = {1, 1, from, "", 0};
    FormatIdleMinutesText();
    return Minutes(StepIdleMinutes(step));
}
