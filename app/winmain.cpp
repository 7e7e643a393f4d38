// The program's entry point and its main window.
#include "app/main_window.h"

#include "app/about_box.h"
#include "app/launch.h"
#include "app/window_position.h"
#include "connection/config_dialog.h"
#include "locations/locations_dialog.h"
#include "resources/resource.h"

namespace {

// Creates the main window and the dialogs from their templates.
HINSTANCE programInstance;

const char kMainClass[] = "dia1";

// Raised when the position file has been read at creation; the window's place is saved on
// every move from then on.
int positionLoads = 0;
// Set once the main window exists. The only fill of the picker at start is the one WinMain
// asks for, even where the dialog manager sends WM_INITDIALOG while creating the window.
bool mainWindowMade = false;

LRESULT RestorePosition(HWND window) {
    int x, y;
    if (!ReadWindowPosition(&x, &y))
        return 0;
    int left, top;
    WindowEdgesFor(x, y, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), &left, &top);
    positionLoads++;
    MoveWindow(window, left, top, kMainWindowWidth, kMainWindowHeight, TRUE);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    StartConnectionWork(window, version.dwMajorVersion);
    return 0;
}

LRESULT SavePosition(HWND window, WPARAM wParam, LPARAM lParam) {
    if (positionLoads > 0 && !SaveWindowPosition(lParam))
        return 0;
    return DefWindowProcA(window, WM_MOVE, wParam, lParam);
}

LRESULT EndProgram() {
    FreeLocationTable(&mainTable);
    PostQuitMessage(0);
    return 0;
}

LRESULT OnCommand(HWND window, WPARAM wParam) {
    // The whole wParam is compared: only a click (notification 0) runs a command, and the
    // picker's own notifications do nothing.
    if (wParam == IDC_MAIN_GO)
        return LaunchSelectedLocation(window);
    if (wParam == IDOK)
        return EndProgram();
    return 0;
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
    switch (LOWORD(wParam)) {
    case IDM_CONNECTION:
        OpenConfigureDialog(programInstance, window);
        return 0;
    case IDM_EDIT_LOCATIONS:
        OpenLocationsDialog(programInstance, window, DropMainList);
        return 0;
    case IDM_ABOUT:
        OpenAboutBox(programInstance, window);
        return 0;
    }
    return DefWindowProcA(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return RestorePosition(window);
    case WM_MOVE:
        return SavePosition(window, wParam, lParam);
    case WM_INITDIALOG:
        return mainWindowMade ? FillPicker(window) : 0;
    case WM_COMMAND:
        return OnCommand(window, wParam);
    case WM_DESTROY:
        return EndProgram();
    case WM_SYSCOMMAND:
        return OnSysCommand(window, wParam, lParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void AddSystemMenuCommands(HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, IDM_CONNECTION, "Connection");
    AppendMenuA(menu, MF_STRING, IDM_EDIT_LOCATIONS, "Edit Locations");
    AppendMenuA(menu, MF_STRING, IDM_ABOUT, "About...");
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    programInstance = instance;

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
    windowClass.lpszClassName = kMainClass;
    RegisterClassExA(&windowClass);

    HWND window = CreateDialogParamA(instance, kMainClass, nullptr, nullptr, 0);
    // Without a window the loop would wait forever for a message that nothing can send.
    if (!window)
        return 1;
    mainWindowMade = true;
    AddSystemMenuCommands(window);
    SendMessageA(window, WM_INITDIALOG, 0, 0);

    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
