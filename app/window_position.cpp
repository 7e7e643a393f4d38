#include "app/window_position.h"

#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"

#include <cstring>

namespace {

const char kPositionFile[] = "tarsel.ini";
const char kOpenFailure[] = "Failed to open TARSEL.INI";
// Each number is taken from at most 9 characters of its line.
const int kNumberLength = 9;
const int kRightMargin = 160;
const int kBottomMargin = 60;

int EdgeWithin(int coordinate, int offset, int screenSize, int margin) {
    // In 64 bits, so that no number the file can hold overflows.
    long long edge = static_cast<long long>(coordinate) - offset;
    if (edge < 0 || edge > static_cast<long long>(screenSize) - margin)
        return 1;
    return static_cast<int>(edge);
}

} // namespace

bool ReadWindowPosition(int* x, int* y) {
    TextFile file;
    if (!OpenTextForReading(&file, kPositionFile)) {
        ShowFailureBox(kOpenFailure);
        return false;
    }
    char line[kNumberLength + 1];
    ReadTextLine(&file, line, sizeof line);
    *x = ParseDecimal(line);
    ReadTextLine(&file, line, sizeof line);
    *y = ParseDecimal(line);
    CloseTextFile(&file);
    return true;
}

void WindowEdgesFor(int x, int y, int screenWidth, int screenHeight, int* left, int* top) {
    *left = EdgeWithin(x, kClientOffsetX, screenWidth, kRightMargin);
    *top = EdgeWithin(y, kClientOffsetY, screenHeight, kBottomMargin);
}

bool SaveWindowPosition(LPARAM lParam) {
    // The coordinates are signed 16-bit numbers; a corner left of or above the screen is thus
    // written as its two's complement (-5 as 65531), which the next start puts back on screen.
    unsigned long packed = static_cast<unsigned long>(lParam);
    unsigned left = packed & 0xFFFF;
    unsigned top = (packed >> 16) & 0xFFFF;

    TextFile file;
    if (!OpenTextForWriting(&file, kPositionFile)) {
        ShowFailureBox(kOpenFailure);
        return false;
    }
    char text[2 * 21 + 2];
    FormatDecimal(left, text, sizeof text);
    size_t used = strlen(text);
    text[used++] = '\n';
    FormatDecimal(top, text + used, sizeof text - used);
    WriteText(&file, text);
    FinishTextFile(&file, false);
    return true;
}
