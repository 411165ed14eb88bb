#!/usr/bin/env bash
# Start-up to a visible window and private memory of the release horvane.exe
# against bare_window.exe of the same build, measured in one run, under Wine
# on Xvfb, alternating the two programs. Prints a Markdown table with the
# medians and their ratios, and each program's section sizes.
#
# Usage: bench/startup/measure.sh [RUNS]   (after scripts/package)
# HORVANE_RELEASE_BUILD names another build folder of the release preset, for
# example one configured with other optimisation flags.
#
# Runs in a network namespace of its own (the release program's update check
# names the maker's real host) and without the right to set the clock, on a
# copy of the project's Wine prefix. A chronyd on 127.0.0.1:123 answers the
# start-up fetch.
if [[ -z "${HORVANE_ISOLATED:-}" ]]; then
  HORVANE_ISOLATED=1 exec unshare -n setpriv --bounding-set=-sys_time --inh-caps=-sys_time \
    bash -c 'ip link set lo up && exec bash "$@"' _ "$0" "$@"
fi
source "$(dirname "$0")/../../scripts/common.sh"
set +e
RUNS="${1:-10}"
BUILD="${HORVANE_RELEASE_BUILD:-$REPO/build/release}"
[[ -f "$BUILD/horvane.exe" && -f "$BUILD/bare_window.exe" ]] || { log "build the release preset first"; exit 1; }

WORK=$(mktemp -d /tmp/horvane-startup.XXXXXX)
CHRONY_PID=""
trap 'kill $CHRONY_PID 2>/dev/null; wineserver -k 2>/dev/null; stop_xvfb; rm -rf "$WORK"' EXIT
ensure_wine_prefix
mkdir -p "$WORK/prefix" && cp -a "$WINEPREFIX/." "$WORK/prefix/"
export WINEPREFIX="$WORK/prefix"
start_xvfb || exit 1

mkdir -p "$WORK/app"
cp "$BUILD/horvane.exe" "$BUILD/bare_window.exe" "$WORK/app/"
cp -r "$REPO/Languages" "$WORK/app/"
printf '[Settings]\r\nServer=127.0.0.1\r\n' >"$WORK/app/settings.ini"
cat >"$WORK/chrony.conf" <<CONF
port 123
bindaddress 127.0.0.1
allow 127.0.0.1
local stratum 8
cmdport 0
pidfile $WORK/chronyd.pid
CONF
/usr/sbin/chronyd -d -x -f "$WORK/chrony.conf" >/dev/null 2>&1 &
CHRONY_PID=$!

# Wine's own start for the prefix is not the program's: keep Wine running.
wine cmd /c exit >/dev/null 2>&1

# one EXE TITLE: launch-to-visible milliseconds and private kB, two seconds
# after the window showed.
one() {
  local exe=$1 title=$2 t0 t1 pid kb
  t0=$(date +%s%N)
  (cd "$WORK/app" && exec wine64 "$WORK/app/$exe") >/dev/null 2>&1 &
  until xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; do
    (($(date +%s%N) - t0 > 30000000000)) && { echo "timeout"; return 1; }
    sleep 0.01
  done
  t1=$(date +%s%N)
  sleep 2
  pid=$(pgrep -x "${exe:0:15}" | head -1)
  [[ -n "$pid" ]] || { echo "no process"; return 1; }
  kb=$(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s}' "/proc/$pid/smaps_rollup" 2>/dev/null)
  kill "$pid" 2>/dev/null
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  echo "$(((t1 - t0) / 1000000)) ${kb:-0}"
}

: >"$WORK/results"
for i in $(seq "$RUNS"); do
  echo "horvane $(one horvane.exe 'CALVION - Horvane')" >>"$WORK/results"
  echo "bare $(one bare_window.exe 'Bare Window')" >>"$WORK/results"
  log "run $i of $RUNS"
done

python3 - "$WORK/results" "$RUNS" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
bad = [r for r in rows if len(r) != 3]
if bad:
    sys.exit(f"{len(bad)} runs failed: {bad}")
def column(name, i):
    return [int(r[i]) for r in rows if r[0] == name]
ms_h, ms_b = column("horvane", 1), column("bare", 1)
kb_h, kb_b = column("horvane", 2), column("bare", 2)
med = statistics.median
print(f"| Figure ({sys.argv[2]} runs each, alternating) | horvane.exe | bare_window.exe | Ratio |")
print("|---|---:|---:|---:|")
print(f"| Launch to visible window, median | {med(ms_h):.0f} ms | {med(ms_b):.0f} ms | {med(ms_h) / med(ms_b):.2f} |")
print(f"| Launch to visible window, range | {min(ms_h)} to {max(ms_h)} ms | {min(ms_b)} to {max(ms_b)} ms | |")
print(f"| Private memory 2 s after, median | {med(kb_h) / 1024:.1f} MB | {med(kb_b) / 1024:.1f} MB | {med(kb_h) / med(kb_b):.2f} |")
PY
echo
python3 "$REPO/scripts/pe-info.py" sections "$BUILD/horvane.exe" "$BUILD/bare_window.exe"
