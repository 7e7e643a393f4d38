// Finds the message boxes of the program under test, records them and presses their OK button.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// One message box as the watcher saw it.
struct Box {
    std::string caption;
    std::string text;
    HWND window = nullptr;
    HWND owner = nullptr; // GetWindow(GW_OWNER): nullptr for a box without owner
    bool topmost = false; // WS_EX_TOPMOST, which MB_SYSTEMMODAL gives
    bool okOnly = false;  // its one visible button is OK
};

// A thread that looks for message boxes of one process every few milliseconds: top-level
// "#32770" windows holding the static control 0xFFFF (the box text), apart from the program's
// own dialogs. It records each box once, in the order they appear, and presses OK unless held.
class BoxWatcher {
  public:
    BoxWatcher();
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Watches the boxes of processId from now on (0: none).
    void Watch(DWORD processId);
    // While held, new boxes are recorded but left open; releasing presses OK on them.
    void Hold(bool hold);
    // Ends the thread after one last look.
    void Stop();

    std::vector<Box> All() const;
    // The boxes recorded since the last call, which counts them as checked.
    std::vector<Box> TakeNew();
    size_t NewCount() const;
    // The recorded boxes that are still open.
    std::vector<HWND> Open() const;

  private:
    struct OpenBox {
        HWND window;
        DWORD pressedAt; // tick count of the last OK press, 0 for none
    };

    static DWORD WINAPI Run(void* self);
    void Scan();

    mutable CRITICAL_SECTION lock_;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD processId_ = 0;
    bool hold_ = false;
    std::vector<Box> boxes_;
    size_t checked_ = 0;
    std::vector<OpenBox> open_;
};

} // namespace e2e
