#include "locations/location_list.h"

#include "common/decimal.h"
#include "common/message_boxes.h"
#include "common/text_file.h"

#include <cstdlib>
#include <cstring>

namespace {

const char kListFile[] = "urls.txt";
const char kTempFile[] = "urls.tmp";
const int kCountLineLength = 4;

} // namespace

bool LoadLocationList(LocationTable* table, const char* openFailureText, bool enforceLimit) {
    memset(table, 0, sizeof *table);
    TextFile file;
    // An edit cut short on a system without MoveFileExA may have left the new list, complete,
    // in "urls.tmp" alone: it becomes the list (a rename never replaces an existing "urls.txt").
    if (!OpenTextForReading(&file, kListFile) &&
        !(MoveFileA(kTempFile, kListFile) && OpenTextForReading(&file, kListFile))) {
        ShowFailureBox(openFailureText);
        return false;
    }

    char countLine[kCountLineLength + 1];
    ReadTextLine(&file, countLine, sizeof countLine);
    int count = ParseDecimal(countLine);
    if (enforceLimit && count >= kLocationLimit) {
        ShowLimitBox("Location limit is 99.", "Maximum Locations");
        exit(0);
    }
    if (count <= 0) {
        CloseTextFile(&file);
        return true;
    }

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(count) * sizeof(LocationEntry));
    if (!block) {
        ShowFailureBox("Out of memory");
        CloseTextFile(&file);
        return false;
    }
    LocationEntry* entries = static_cast<LocationEntry*>(GlobalLock(block));
    if (!entries) {
        GlobalFree(block);
        ShowFailureBox("Out of memory");
        CloseTextFile(&file);
        return false;
    }
    table->block = block;
    table->entries = entries;
    table->present = true;

    int loaded = 0;
    for (; loaded < count; ++loaded) {
        LocationEntry* entry = &table->entries[loaded];
        if (!ReadTextLine(&file, entry->description, sizeof entry->description))
            break;
        ReadTextLine(&file, entry->address, sizeof entry->address);
    }
    table->count = loaded;
    CloseTextFile(&file);
    return true;
}

void FreeLocationTable(LocationTable* table) {
    if (!table->present)
        return;
    GlobalUnlock(table->block);
    GlobalFree(table->block);
    table->block = nullptr;
    table->entries = nullptr;
    table->present = false;
}
