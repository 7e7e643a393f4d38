#include "tests/e2e/box_watcher.h"

#include "tests/e2e/rig.h"

#include <algorithm>

namespace e2e {
namespace {

const DWORD kScanIntervalMs = 15;
const DWORD kPressAgainMs = 1000;
const int kBoxTextId = 0xFFFF;

// The program's own dialogs are "#32770" windows as well.
const char* const kDialogCaptions[] = {"About...", "Configure", "Edit Locations"};

struct Candidates {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectBox(HWND window, LPARAM data) {
    Candidates& found = *reinterpret_cast<Candidates*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != found.processId || ClassOf(window) != "#32770" || !IsWindowVisible(window))
        return TRUE;
    if (!GetDlgItem(window, kBoxTextId))
        return TRUE;
    std::string caption = Text(window);
    for (const char* dialog : kDialogCaptions)
        if (caption == dialog)
            return TRUE;
    found.windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectButton(HWND child, LPARAM data) {
    if (ClassOf(child) == "Button" && IsWindowVisible(child))
        reinterpret_cast<std::vector<int>*>(data)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

Box ReadBox(HWND window) {
    Box box;
    box.window = window;
    box.caption = Text(window);
    box.text = Text(GetDlgItem(window, kBoxTextId));
    box.owner = GetWindow(window, GW_OWNER);
    box.topmost = (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    std::vector<int> buttons;
    EnumChildWindows(window, CollectButton, reinterpret_cast<LPARAM>(&buttons));
    box.okOnly = buttons.size() == 1 && buttons[0] == IDOK;
    return box;
}

void PressOk(HWND box) {
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
}

} // namespace

BoxWatcher::BoxWatcher() {
    InitializeCriticalSection(&lock_);
    stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BoxWatcher::~BoxWatcher() {
    Stop();
    CloseHandle(stop_);
    DeleteCriticalSection(&lock_);
}

void BoxWatcher::Watch(DWORD processId) {
    EnterCriticalSection(&lock_);
    processId_ = processId;
    LeaveCriticalSection(&lock_);
}

void BoxWatcher::Hold(bool hold) {
    EnterCriticalSection(&lock_);
    hold_ = hold;
    LeaveCriticalSection(&lock_);
}

void BoxWatcher::Stop() {
    if (!thread_)
        return;
    SetEvent(stop_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
}

std::vector<Box> BoxWatcher::All() const {
    EnterCriticalSection(&lock_);
    std::vector<Box> all = boxes_;
    LeaveCriticalSection(&lock_);
    return all;
}

std::vector<Box> BoxWatcher::TakeNew() {
    EnterCriticalSection(&lock_);
    std::vector<Box> fresh(boxes_.begin() + checked_, boxes_.end());
    checked_ = boxes_.size();
    LeaveCriticalSection(&lock_);
    return fresh;
}

size_t BoxWatcher::NewCount() const {
    EnterCriticalSection(&lock_);
    size_t count = boxes_.size() - checked_;
    LeaveCriticalSection(&lock_);
    return count;
}

std::vector<HWND> BoxWatcher::Open() const {
    std::vector<HWND> windows;
    EnterCriticalSection(&lock_);
    for (const OpenBox& box : open_)
        windows.push_back(box.window);
    LeaveCriticalSection(&lock_);
    return windows;
}

DWORD WINAPI BoxWatcher::Run(void* self) {
    BoxWatcher& watcher = *static_cast<BoxWatcher*>(self);
    while (WaitForSingleObject(watcher.stop_, kScanIntervalMs) == WAIT_TIMEOUT)
        watcher.Scan();
    watcher.Scan();
    return 0;
}

void BoxWatcher::Scan() {
    EnterCriticalSection(&lock_);
    Candidates found = {processId_, {}};
    bool hold = hold_;
    open_.erase(std::remove_if(open_.begin(), open_.end(),
                               [](const OpenBox& box) { return !IsWindow(box.window); }),
                open_.end());
    std::vector<OpenBox> known = open_;
    LeaveCriticalSection(&lock_);
    if (!found.processId)
        return;

    // Reading a box sends it messages: done outside the lock, so that a scenario polling the
    // record never waits for the program.
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&found));
    std::vector<Box> fresh;
    for (HWND window : found.windows) {
        bool seen = std::any_of(known.begin(), known.end(),
                                [window](const OpenBox& box) { return box.window == window; });
        if (!seen)
            fresh.push_back(ReadBox(window));
    }

    DWORD now = GetTickCount();
    EnterCriticalSection(&lock_);
    for (const Box& box : fresh) {
        boxes_.push_back(box);
        open_.push_back({box.window, 0});
    }
    if (!hold) {
        for (OpenBox& box : open_) {
            if (box.pressedAt == 0 || now - box.pressedAt > kPressAgainMs) {
                PressOk(box.window);
                box.pressedAt = now | 1;
            }
        }
    }
    LeaveCriticalSection(&lock_);
}

} // namespace e2e
