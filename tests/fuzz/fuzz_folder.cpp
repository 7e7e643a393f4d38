#include "fuzz_folder.h"

#include "platform/posix/standin.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void EnterFuzzFolder() {
    static bool entered = false;
    if (!entered) {
        char pattern[] = "/tmp/tarsel-fuzz-XXXXXX";
        if (!mkdtemp(pattern) || chdir(pattern) != 0)
            abort();
        entered = true;
    }
    standin::Reset();
}

void WriteFuzzFile(const char* name, const uint8_t* data, size_t size) {
    FILE* file = fopen(name, "wb");
    if (!file)
        abort();
    if (size)
        fwrite(data, 1, size, file);
    fclose(file);
}

std::string ReadFuzzFile(const char* name) {
    std::string bytes;
    FILE* file = fopen(name, "rb");
    if (!file)
        return bytes;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}
