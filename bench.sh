#!/usr/bin/env bash
# Measures Tarsel beside baselines measured in the same run and prints the ratios (Tarsel's time
# divided by the baseline's; 1.00 is as fast as the baseline):
#
#   start-up   tarsel.exe under Wine until its main window shows a list of 99 entries, beside a
#              bare program that shows a window of the same template;
#   launch     "Go" until the browser runs, beside starting the same browser with CreateProcess;
#   list load  the main window's load of 99 entries, beside reading the file once with stdio;
#   edits      one Edit Locations OK with a delete, a modify and an add, beside reading the list
#              once and writing and replacing it three times with stdio;
#
# and the size of tarsel.exe. The first two run under Wine in the end-to-end tests' environment
# (tests/e2e/wine-env.sh: their prefix and display); the file work is Google Benchmark on the
# native build. Don't run it while the end-to-end tests run: both use the same Wine prefix.
#
#   ./bench.sh [RUNS]    RUNS: timed runs of each kind under Wine (default 15)
set -euo pipefail
cd "$(dirname "$0")"
top=$PWD
runs=${1:-15}
source tools/packages.sh
ensure_packages cmake ninja-build clang g++ libbenchmark-dev g++-mingw-w64-x86-64 wine wine64 \
    xvfb xauth fonts-wine

mkdir -p build
echo "== Building (native benchmarks, Windows programs; log in build/bench-build.log)"
{
    cmake --preset native &&
        cmake --build --preset native --target tarsel_bench -j2 &&
        cmake --preset windows &&
        cmake --build --preset windows --target tarsel tarsel_timing -j2
} >build/bench-build.log 2>&1 || {
    cat build/bench-build.log
    exit 1
}

wine_env=$top/build/windows/tests/e2e/wine-env.sh

echo
echo "== Start-up and launch under Wine ($runs runs of each, taking turns)"
timing=$("$wine_env" "$top/build/windows/tarsel_timing.exe" "$runs" | tr -d '\r' | tee /dev/stderr)
startup_ratio=$(awk '$1 == "RESULT" && $2 == "startup_ratio" { print $3 }' <<<"$timing")
launch_ratio=$(awk '$1 == "RESULT" && $2 == "launch_ratio" { print $3 }' <<<"$timing")

echo
echo "== File work (Google Benchmark, medians of 10 repetitions taken in random order)"
results=$top/build/bench-results.json
"$top/build/native/bench/tarsel_bench" --benchmark_repetitions=10 \
    --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 \
    --benchmark_report_aggregates_only=true --benchmark_out="$results" \
    --benchmark_out_format=json 2>&1 | grep -E '^(Benchmark|-|.*_median )'

# The median wall-clock times, by benchmark name, from the JSON report (one key per line).
medians=$(awk -F': ' '
    /"name":/ { gsub(/[",]/, "", $2); name = $2 }
    /"real_time":/ && name ~ /_median$/ { gsub(/,/, "", $2); sub(/_median$/, "", name); print name, $2 }
' "$results")
ratio() {
    awk -v a="$1" -v b="$2" '$1 == a { x = $2 } $1 == b { y = $2 } END { printf "%.2f", x / y }' \
        <<<"$medians"
}

size=$(stat -c %s build/windows/tarsel.exe)
echo
echo "== Measured"
printf '%-60s %s\n' \
    "Start-up, 99 entries (tarsel.exe / bare window):" "$(printf '%.2f' "$startup_ratio")" \
    "Launch (\"Go\" / CreateProcess of the browser):" "$(printf '%.2f' "$launch_ratio")" \
    "List load, 99 entries (LoadNinetyNine / StdioReadOnce):" \
    "$(ratio LoadNinetyNine StdioReadOnce)" \
    "Three edits (ApplyThreeEdits / StdioReadOnceReplaceThrice):" \
    "$(ratio ApplyThreeEdits StdioReadOnceReplaceThrice)" \
    "Size of tarsel.exe:" "$size bytes ($(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1024 }') KiB)"
