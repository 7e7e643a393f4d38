// Every reader of the program's files and registry values on arbitrary bytes, under ASan and
// UBSan. The first byte picks a reader, the next two a system call to fail (its kind, then which
// one), and the rest, split at '#', is what it reads. No input may leave a file or key open or
// an edit pending.
#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "connection/connection_settings.h"
#include "connection/dial_registry.h"
#include "connection/idle_minutes.h"
#include "tests/unit/files.h"

#include <sstream>
#include <vector>

namespace {

using std::string;
using Parts = std::vector<string>;

Parts Split(const string& text, char separator) {
    Parts parts;
    std::istringstream in(text);
    for (string part; std::getline(in, part, separator);)
        parts.push_back(part);
    parts.resize(std::max<size_t>(9, parts.size()));
    return parts;
}

void SetValue(const string& key, const string& name, const string& data) {
    standin::s.keys[key] = ERROR_SUCCESS;
    standin::s.values[key + "\\" + name] = data;
}

// Each reader takes the files and values in its own order: the parts' numbers say it.
void Read(int reader, const Parts& in) {
    const string settings = "HKCU\\Software\\Microsoft\\Windows\\Currentversion\\internet settings";
    const string paths = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    Put("urls.txt", in[0]);
    Put("dial.inf", in[1]);
    Put("disc.inf", in[2]);
    Put("tarsel.ini", in[0]);
    Put("tarsel.inf", in[1]);
    SetValue(settings, "EnableAutoDial", in[1]);
    SetValue(settings, "EnableAutoDisconnect", in[2]);
    SetValue("HKCR\\HTTP\\DefaultIcon", "", in[1]);
    SetValue("HKCU\\RemoteAccess", "InternetProfile", in[2]);
    SetValue(paths + "Netscape.exe", "", in[3]);
    SetValue(paths + "IEXPLORE.EXE", "", in[3]);
    int x = 0, y = 0;
    Parts edit = Split(in[1], ',');
    switch (reader) {
    case 0:
        Apply({{edit[0], edit[1]},
               {edit[2], edit[3]},
               {edit[4], edit[5]},
               {edit[6], edit[7]},
               !edit[8].empty()});
        return;
    case 1:
        ReadConnectionSettings();
        TakeOverTypedMinutes(in[3].c_str());
        StepIdleMinutes(atoi(in[4].c_str()));
        SyncAutoDial();
        SyncAutoDisconnect();
        WriteConnectionSettings();
        return;
    case 2:
        ReadWindowPosition(&x, &y);
        WindowEdgesFor(x, y, 1024, 768, &x, &y);
        SaveWindowPosition(y << 16 | (x & 0xFFFF));
        ReadStartIndex();
        PrepareStartLaunch(5);
        return;
    default:
        DetectDefaultBrowser();
        CheckDialProfile();
        LoadLocationList(&mainTable, "", false);
        StartIndex = atoi(in[4].c_str());
        PrepareLaunch();
        StartBrowserOn(&mainTable, atoi(in[5].c_str()));
        FreeLocationTable(&mainTable);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fresh();
    if (size > 2 && data[1] % 16 <= standin::kRegSet)
        standin::s.fail[data[1] % 16].insert(data[2]);
    string in(reinterpret_cast<const char*>(data), size);
    Read(size ? data[0] % 4 : 0, Split(in.substr(std::min<size_t>(size, 3)), '#'));
    static const PendingEdit kNoEdit = {};
    if (standin::s.openFiles || standin::s.openKeys ||
        memcmp(&pendingEdit, &kNoEdit, sizeof kNoEdit))
        abort();
    return 0;
}
