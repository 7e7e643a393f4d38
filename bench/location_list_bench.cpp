// The main window's load of a list of 99 entries, beside reading the same file once with plain
// C stdio.
#include "bench_support.h"
#include "locations/location_list.h"

#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

void LoadNinetyNine(benchmark::State& state) {
    EnterBenchFolder();
    WriteList(SampleList());
    for (auto _ : state) {
        LocationTable table;
        if (!LoadLocationList(&table, "Failed to open URLS.TXT", true) || table.count != 99)
            state.SkipWithError("the load failed");
        benchmark::DoNotOptimize(table.entries);
        FreeLocationTable(&table);
    }
}
BENCHMARK(LoadNinetyNine);

void StdioReadOnce(benchmark::State& state) {
    EnterBenchFolder();
    WriteList(SampleList());
    static char buffer[1 << 16];
    for (auto _ : state) {
        FILE* in = fopen("urls.txt", "rb");
        size_t size = fread(buffer, 1, sizeof buffer, in);
        fclose(in);
        benchmark::DoNotOptimize(size);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(StdioReadOnce);

} // namespace
