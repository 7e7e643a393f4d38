// Loads arbitrary bytes as "urls.txt", both as the main window does and as the Edit Locations
// dialog does (no limit), and checks the table it gives.
#include "fuzz_folder.h"

#include "common/decimal.h"
#include "common/text_file.h"
#include "locations/location_list.h"
#include "platform/posix/standin.h"

#include <cstdlib>
#include <cstring>

namespace {

int CountLine() {
    TextFile file;
    char line[5];
    if (!OpenTextForReading(&file, "urls.txt"))
        abort();
    ReadTextLine(&file, line, sizeof line);
    CloseTextFile(&file);
    return ParseDecimal(line);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    EnterFuzzFolder();
    WriteFuzzFile("urls.txt", data, size);
    for (bool enforceLimit : {false, true}) {
        LocationTable table;
        // A count of 100 or more ends the program under the limit; that path has its own test.
        if (enforceLimit && CountLine() >= kLocationLimit)
            continue;
        if (LoadLocationList(&table, "Failed to open URLS.TXT", enforceLimit)) {
            if (table.count < 0 || (table.count > 0 && !table.present))
                abort();
            for (int i = 0; i < table.count; ++i) {
                if (strlen(table.entries[i].description) > kMaxDescription ||
                    strlen(table.entries[i].address) > kMaxAddress)
                    abort();
            }
        }
        FreeLocationTable(&table);
        if (standin::LiveBlocks() != 0 || standin::OpenFiles() != 0)
            abort();
    }
    return 0;
}
