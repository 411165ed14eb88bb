#!/usr/bin/env bash
# The accuracy figures of docs/BENCHMARKS.md in one go: builds the bench
# preset's horvane_accuracy and runs it (SAMPLES answers of Horvane's per
# path, TOOL_SAMPLES runs of chronyd -Q and ntpdig), then, given WINE_RUNS,
# the Wine journey through 150 ms each way that many times, each printing how
# far the written clock lay from the real one. Everything that binds the
# shared loopback ports runs under the shared lock, one step at a time.
#   bench/accuracy/run.sh [SAMPLES [TOOL_SAMPLES]]
#   WINE_RUNS=3 bench/accuracy/run.sh   # needs build/windows-e2e and build/native
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
LOCK=/tmp/horvane-wine.lock
[[ -f "$REPO/build/bench/build.ninja" ]] || cmake --preset bench -S "$REPO" >/dev/null
cmake --build "$REPO/build/bench" -j2 --target horvane_accuracy >/dev/null
rc=0
flock "$LOCK" "$REPO/build/bench/bench/horvane_accuracy" "${1:-15}" "${2:-5}" || rc=$?
for ((i = 1; i <= ${WINE_RUNS:-0}; i++)); do
  echo "Wine, run $i:"
  flock "$LOCK" bash "$REPO/tests/e2e/journey-relay-sync.sh" "$REPO/build/windows-e2e" |
    grep -E '^(written|PASS|FAIL)' || rc=1
done
exit "$rc"
