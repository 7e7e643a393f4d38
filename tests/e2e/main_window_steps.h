// Steps and facts that the main window's scenarios share: the window's controls, its client
// corner, moving it as a user's drag does, how long it takes to answer, and texts the system
// gives for error codes.
#pragma once

#include "resources/resource.h"
#include "tests/e2e/rig.h"

#include <string>
#include <vector>

namespace e2e {

// Waits until the main window is shown with its picker filled with these descriptions, and gives
// the picker. The window exists while it is made, before its controls do.
inline HWND ExpectFilledPicker(HWND window, const std::vector<std::string>& descriptions,
                               Where where = {}) {
    ExpectVisible(window, true, where);
    HWND picker = Item(window, IDC_MAIN_PICKER, where);
    ExpectComboItems(picker, descriptions, where);
    return picker;
}

// The descriptions of the list that TypicalStart writes.
inline std::vector<std::string> TypicalDescriptions() {
    std::vector<std::string> descriptions;
    for (const Location& location : kTypicalLocations)
        descriptions.push_back(location.description);
    return descriptions;
}

// The client area's top-left corner in screen coordinates: what the position file records.
inline POINT ClientCorner(HWND window) {
    POINT corner = {0, 0};
    ClientToScreen(window, &corner);
    return corner;
}

// Moves the window's outer corner to left, top, keeping its size, as a drag of its title bar
// does. It returns once the program has handled the move.
inline void MoveWindowTo(HWND window, int left, int top) {
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Milliseconds until the window's thread answers a message: about 0 when it is waiting for input.
inline DWORD MillisecondsUntilAnswer(HWND window) {
    DWORD start = GetTickCount();
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, kTimeoutMs, &result);
    return GetTickCount() - start;
}

// The system's text for an error code, as a box that shows the last error gives it.
inline std::string SystemText(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 1024, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string result = text ? text : "";
    if (text)
        LocalFree(text);
    return result;
}

// A browser path as the program puts it on the command line: in double quotes when it holds a
// blank.
inline std::string OnCommandLine(const std::string& path) {
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

// n locations "Place 1" http://1/ and so on.
inline std::vector<Location> NumberedLocations(int n) {
    std::vector<Location> locations;
    for (int i = 1; i <= n; ++i)
        locations.push_back({"Place " + std::to_string(i), "http://" + std::to_string(i) + "/"});
    return locations;
}

} // namespace e2e
