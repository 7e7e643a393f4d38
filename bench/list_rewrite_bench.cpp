// One OK of the Edit Locations dialog with a delete, a modify and an add pending, on a list of 99
// entries, beside the least any such apply must do: read the list once, and write and replace
// it three times, with plain C stdio.
#include "bench_support.h"
#include "locations/list_rewrite.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void SetField(char* field, size_t size, const char* text) {
    snprintf(field, size, "%s", text);
}

void ApplyThreeEdits(benchmark::State& state) {
    EnterBenchFolder();
    const std::string list = SampleList();
    for (auto _ : state) {
        state.PauseTiming();
        WriteList(list);
        SetField(pendingEdit.deleteDescription, sizeof pendingEdit.deleteDescription,
                 "Site number 40");
        SetField(pendingEdit.deleteAddress, sizeof pendingEdit.deleteAddress,
                 "http://www.site40.example.com/index.html");
        SetField(pendingEdit.modifyOldDescription, sizeof pendingEdit.modifyOldDescription,
                 "Site number 70");
        SetField(pendingEdit.modifyOldAddress, sizeof pendingEdit.modifyOldAddress,
                 "http://www.site70.example.com/index.html");
        SetField(pendingEdit.modifyNewDescription, sizeof pendingEdit.modifyNewDescription,
                 "Site number seventy");
        SetField(pendingEdit.modifyNewAddress, sizeof pendingEdit.modifyNewAddress,
                 "http://www.site70.example.com/");
        SetField(pendingEdit.addDescription, sizeof pendingEdit.addDescription, "New site");
        SetField(pendingEdit.addAddress, sizeof pendingEdit.addAddress,
                 "http://www.new.example.com/");
        state.ResumeTiming();
        if (ApplyPendingEdits() != 1)
            state.SkipWithError("the add failed");
    }
}
BENCHMARK(ApplyThreeEdits);

void StdioReadOnceReplaceThrice(benchmark::State& state) {
    EnterBenchFolder();
    const std::string list = SampleList();
    static char buffer[1 << 16];
    for (auto _ : state) {
        state.PauseTiming();
        WriteList(list);
        state.ResumeTiming();
        FILE* in = fopen("urls.txt", "rb");
        size_t size = fread(buffer, 1, sizeof buffer, in);
        fclose(in);
        for (int i = 0; i < 3; ++i) {
            FILE* out = fopen("urls.tmp", "wb");
            fwrite(buffer, 1, size, out);
            fclose(out);
            rename("urls.tmp", "urls.txt");
        }
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(StdioReadOnceReplaceThrice);

} // namespace
