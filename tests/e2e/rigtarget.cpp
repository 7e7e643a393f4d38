// A small window for the rig's own scenarios: it answers the messages the rig sends with files in
// its current directory, so a scenario can prove each helper across processes under Wine.
//   window "Rig target \xe4" (class "rig target") at 100, 100, 366 x 80
//   combo box 101 with "One" and "Zwei \xe4"; a selection change writes selected.txt: "<id> <item>"
//   edit box 102; button 103, whose click writes clicked.txt: the edit box's text
//   scroll bar 104; WM_VSCROLL from it writes scrolled.txt: the scroll code
//   system command 999: two message boxes, the first system-modal without owner, the second
//     owned by the window; then boxes.txt: both results, "1 1" when OK closed both
// Closing the window ends the program with exit code 7.
#include <windows.h>

#include <cstdio>

namespace {

const int kPicker = 101;
const int kEdit = 102;
const int kButton = 103;
const int kBar = 104;
const int kShowBoxes = 999;

void WriteText(const char* name, const char* text) {
    FILE* file = std::fopen(name, "wb");
    if (!file)
        return;
    std::fputs(text, file);
    std::fclose(file);
}

void ShowBoxes(HWND window) {
    int first = MessageBoxA(nullptr, "First box text", "First box",
                            MB_OK | MB_ICONWARNING | MB_SYSTEMMODAL);
    int second = MessageBoxA(window, "Second box text", "Second box", MB_OK | MB_ICONINFORMATION);
    char results[32];
    std::snprintf(results, sizeof results, "%d %d", first, second);
    WriteText("boxes.txt", results);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char text[256];
    switch (message) {
    case WM_COMMAND:
        if (wParam == kButton) {
            GetWindowTextA(GetDlgItem(window, kEdit), text, sizeof text);
            WriteText("clicked.txt", text);
        } else if (HIWORD(wParam) == CBN_SELCHANGE) {
            std::snprintf(
                text, sizeof text, "%d %d", LOWORD(wParam),
                static_cast<int>(SendMessageA(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0)));
            WriteText("selected.txt", text);
        }
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, kBar)) {
            std::snprintf(text, sizeof text, "%d", LOWORD(wParam));
            WriteText("scrolled.txt", text);
        }
        return 0;
    case WM_SYSCOMMAND:
        if (LOWORD(wParam) == kShowBoxes) {
            ShowBoxes(window);
            return 0;
        }
        break;
    case WM_DESTROY:
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND Child(HWND parent, const char* className, DWORD style, int x, int width, int height, int id) {
    return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, x, 5, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = TargetProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "rig target";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(0, "rig target", "Rig target \xe4", WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
                        100, 100, 366, 80, nullptr, nullptr, instance, nullptr);
    HWND picker = Child(window, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 5, 150, 100, kPicker);
    SendMessageA(picker, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("One"));
    SendMessageA(picker, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Zwei \xe4"));
    SendMessageA(picker, CB_SETCURSEL, 0, 0);
    Child(window, "EDIT", WS_BORDER, 160, 60, 20, kEdit);
    Child(window, "BUTTON", BS_PUSHBUTTON, 230, 40, 20, kButton);
    Child(window, "SCROLLBAR", SBS_VERT, 280, 10, 20, kBar);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
