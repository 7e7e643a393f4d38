// Arbitrary bytes as everything the main window reads: the position file, the start file, and the
// DefaultIcon and App Paths values of the registry. Checks that the window lands on the screen,
// that a start-up launch names an entry, and that the command line is built whole.
#include "fuzz_folder.h"

#include "app/browser.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "platform/posix/standin.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kDefaultIcon[] = "HKCR\\HTTP\\DefaultIcon";
const char kExplorerKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kNetscapeKey[] =
    "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";

void CheckPlace() {
    int x, y;
    if (!ReadWindowPosition(&x, &y))
        abort();
    for (int width : {0, 640, 1024, 65535}) {
        int left, top;
        WindowEdgesFor(x, y, width, width * 3 / 4, &left, &top);
        if (left != 1 && (left < 0 || left > width - 160))
            abort();
        if (top != 1 && (top < 0 || top > width * 3 / 4 - 60))
            abort();
    }
}

void CheckStart() {
    ReadStartIndex();
    int value = StartIndex;
    if (value < -999 || value > 9999)
        abort();
    for (int count : {0, 1, 5, 99}) {
        StartIndex = value;
        exitAfterLaunch = false;
        bool launch = PrepareStartLaunch(count);
        if (launch ? (StartIndex < 0 || StartIndex >= count) : StartIndex != 0)
            abort();
        if (exitAfterLaunch && (!launch || value < kHiddenStartValue))
            abort();
    }
}

void CheckBrowser(const uint8_t* data, size_t size) {
    std::vector<BYTE> bytes(data, data + size);
    standin::SetValue(kDefaultIcon, "", REG_SZ, bytes);
    standin::SetValue(kExplorerKey, "", REG_SZ, bytes);
    standin::SetValue(kNetscapeKey, "", REG_SZ, bytes);
    BrowserKind = kNoBrowser;
    DetectDefaultBrowser();
    if (BrowserKind < kNoBrowser || BrowserKind > kInternetExplorer)
        abort();
    LookUpBrowserPath(BrowserKind == kNoBrowser ? kInternetExplorer : BrowserKind);
    size_t pathLength = strlen(LaunchCommand);
    if (pathLength > kMaxBrowserPath + 2)
        abort();
    // The path is the stored text whole, perhaps in quotes, or nothing.
    std::string text(reinterpret_cast<const char*>(data),
                     strnlen(reinterpret_cast<const char*>(data), size));
    std::string path = LaunchCommand;
    if (!path.empty() && path != text && path != "\"" + text + "\"")
        abort();
    char address[300];
    memset(address, 'a', sizeof address - 1);
    address[sizeof address - 1] = '\0';
    if (!AppendAddress(LaunchCommand, sizeof LaunchCommand, address))
        abort();
    if (strlen(LaunchCommand) != pathLength + 1 + strlen(address))
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterFuzzFolder();
    WriteFuzzFile("tarsel.ini", data, size);
    WriteFuzzFile("tarsel.inf", data, size);
    CheckPlace();
    CheckStart();
    CheckBrowser(data, size);
    if (standin::OpenFiles() != 0 || standin::OpenKeys() != 0)
        abort();
    return 0;
}
