// The main window's place: read from "tarsel.ini" at start, written back at every move.
#include "tests/e2e/main_window_steps.h"

namespace {
using namespace e2e;

using ThePositionFile = Scenario;

INT_PTR CALLBACK NoDialogProcedure(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// The outer rectangle that the system gives a window made from the main window's template when
// nothing moves it: the same style, font, place and size, made here in the test's own process.
RECT TemplateWindowRect() {
    struct {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title, pointSize;
        wchar_t font[7];
    } main = {};
    main.dialog.style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SETFONT;
    main.dialog.x = 30;
    main.dialog.y = 30;
    main.dialog.cx = 179;
    main.dialog.cy = 27;
    main.pointSize = 8;
    wcscpy(main.font, L"System");
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &main.dialog, nullptr,
                                             NoDialogProcedure, 0);
    RECT rect = {};
    GetWindowRect(window, &rect);
    DestroyWindow(window);
    return rect;
}

TEST_F(ThePositionFile, PutsTheOuterCornerThreeAcrossAndTwentyFourUpFromTheSavedClientCorner) {
    TypicalStart();
    Start();
    ExpectWindowRect(MainWindow(), 100, 100, 366, 80);
    ExpectNoBoxes();
}

TEST_F(ThePositionFile, PutsAnEdgeOffTheScreenAtOneWithBothBoundsInclusive) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        unsigned x, y;
        int left, top;
    } cases[] = {
        {3, 24, 0, 0}, // lower bounds
        {2, 23, 1, 1}, // one below them
        {unsigned(width - 160 + 3), unsigned(height - 60 + 24), width - 160, height - 60},
        {unsigned(width - 160 + 4), unsigned(height - 60 + 25), 1, 1}, // one above them
        {65531, 65531, 1, 1}, // a corner saved left of and above the screen
    };
    TypicalStart();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + ", " + std::to_string(c.y));
        PutFile("tarsel.ini", PositionFile(c.x, c.y));
        Start();
        ExpectWindowRect(MainWindow(), c.left, c.top, 366, 80);
        Close();
        ExpectExit(0);
    }
    ExpectNoBoxes();
}

TEST_F(ThePositionFile, HoldsTheClientCornerAfterEveryMoveWithNoLineEndAfterTheSecondNumber) {
    TypicalStart();
    Start();
    HWND window = MainWindow();
    ExpectWindowRect(window, 100, 100, 366, 80);
    // Placing the window at start is a move too.
    POINT corner = ClientCorner(window);
    ExpectFile("tarsel.ini", PositionFile(corner.x, corner.y));

    MoveWindowTo(window, 250, 180);
    corner = ClientCorner(window);
    ExpectFile("tarsel.ini", std::to_string(corner.x) + "\r\n" + std::to_string(corner.y));

    // Dragged past the left screen edge: the negative coordinate is kept as 16 bits.
    MoveWindowTo(window, -40, 60);
    corner = ClientCorner(window);
    ASSERT_LT(corner.x, 0);
    ExpectFile("tarsel.ini", PositionFile(65536 + corner.x, corner.y));
    Close();
    ExpectExit(0);

    // And the next start brings it back on the screen.
    Start();
    ExpectWindowRect(MainWindow(), 1, corner.y - 24, 366, 80);
    ExpectNoBoxes();
}

TEST_F(ThePositionFile, MissingShowsOneBoxKeepsTheTemplatePlaceAndIsNeverWritten) {
    TypicalStart();
    RemoveFile("tarsel.ini");
    // A start that went on past the file would show the unsupported browser's box and bring the
    // system's auto-dial switch into line with the preference file.
    SetRegString(HKEY_CLASSES_ROOT, kHttpDefaultIcon, "", "C:\\Other\\browser.exe,0");
    PutFile("dial.inf", DialFile(false));
    Start();
    HWND window = MainWindow();
    ExpectVisible(window);
    ExpectBoxes({{"Halvorn", "Failed to open TARSEL.INI"}});
    RECT place = TemplateWindowRect();
    ExpectWindowRect(window, place.left, place.top, place.right - place.left,
                     place.bottom - place.top);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDial").data, Le32(1));

    MoveWindowTo(window, 200, 200);
    MillisecondsUntilAnswer(window);
    EXPECT_FALSE(FileExists("tarsel.ini"));

    // The preference files are read at the first launch instead.
    Click(Item(window, IDC_MAIN_GO));
    ExpectRegValue(HKEY_CURRENT_USER, kInternetSettings, "EnableAutoDial", REG_BINARY, Le32(0));
    Close();
    ExpectExit(0);
    ExpectNoFile("tarsel.ini");
    ExpectNoBoxes();
}

} // namespace
