#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

std::string SampleList() {
    std::string list = std::to_string(kBenchEntries) + "\r\n";
    for (int i = 0; i < kBenchEntries; ++i) {
        list += "Site number " + std::to_string(i) + "\r\n";
        list += "http://www.site" + std::to_string(i) + ".example.com/index.html\r\n";
    }
    return list;
}

void EnterBenchFolder() {
    static bool entered = false;
    if (entered)
        return;
    char pattern[] = "/tmp/tarsel-bench-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        abort();
    entered = true;
}

void WriteList(const std::string& list) {
    FILE* file = fopen("urls.txt", "wb");
    if (!file || fwrite(list.data(), 1, list.size(), file) != list.size() || fclose(file) != 0)
        abort();
}
