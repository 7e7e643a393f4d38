#!/usr/bin/env bash
# Runs the Windows tests RUNS times in a row (default 10), each on a Wine prefix made anew and with
# a CPU-bound process running beside them: a new CI machine on two busy cores. Prints each run's
# result and time; the logs are build/fresh-run-<n>.log.
#   tools/fresh-runs.sh [RUNS]
set -uo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null && cmake --build --preset windows >/dev/null || exit 1
failed=0
for run in $(seq 1 "${1:-10}"); do
    rm -rf build/windows/tests/e2e/prefix
    sh -c 'while :; do :; done' &
    burner=$!
    start=$SECONDS
    ctest --preset windows >"build/fresh-run-$run.log" 2>&1
    status=$?
    kill "$burner"
    echo "run $run: $([ $status -eq 0 ] && echo passed || echo FAILED) in $((SECONDS - start)) s"
    [ $status -eq 0 ] || failed=1
done
exit $failed
