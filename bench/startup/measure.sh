#!/usr/bin/env bash
# Start-up to a visible window and private memory of the release horvane.exe
# against two yardsticks of the same build, measured in one run, under Wine
# on Xvfb, alternating the three programs:
#   bare_window.exe   one window, one message loop: the start-up figure;
#   bare_network.exe  the same window plus one WinHTTP POST and one SNTP
#                     exchange on loopback: the memory figure, which so counts
#                     the program's own cost and not Wine's network stack.
# Prints a Markdown table with the medians and their ratios, and each
# program's section sizes.
#
# Usage: bench/startup/measure.sh [RUNS]   (after scripts/package)
# HORVANE_RELEASE_BUILD names another build folder of the release preset, for
# example one configured with other optimisation flags.
#
# Runs in network and mount namespaces of its own, without the right to set
# the clock, on a copy of the project's Wine prefix. The peers are real and
# local: a chronyd on 127.0.0.1:123 answers the start-up fetch, and an HTTP
# listener on 127.0.0.1:80 the POSTs; the maker's host names 127.0.0.1 in
# this namespace's /etc/hosts, so the program's update check reaches it too
# (its HTTPS attempt is refused on port 443, as by a host without it).
if [[ -z "${HORVANE_ISOLATED:-}" ]]; then
  HORVANE_ISOLATED=1 exec unshare -n -m setpriv --bounding-set=-sys_time --inh-caps=-sys_time \
    bash -c 'ip link set lo up && exec bash "$@"' _ "$0" "$@"
fi
source "$(dirname "$0")/../../scripts/common.sh"
set +e
RUNS="${1:-10}"
BUILD="${HORVANE_RELEASE_BUILD:-$REPO/build/release}"
for exe in horvane bare_window bare_network; do
  [[ -f "$BUILD/$exe.exe" ]] || { log "build the release preset first ($exe.exe)"; exit 1; }
done
MAKER_HOST=$(sed -n 's/^HORVANE_MAKER_HOST:[A-Z]*=\([^:]*\).*/\1/p' "$BUILD/CMakeCache.txt")

WORK=$(mktemp -d /tmp/horvane-startup.XXXXXX)
CHRONY_PID=""
HTTP_PID=""
trap 'kill $CHRONY_PID $HTTP_PID 2>/dev/null; wineserver -k 2>/dev/null; stop_xvfb; rm -rf "$WORK"' EXIT
ensure_wine_prefix
mkdir -p "$WORK/prefix" && cp -a "$WINEPREFIX/." "$WORK/prefix/"
export WINEPREFIX="$WORK/prefix"
start_xvfb || exit 1

mkdir -p "$WORK/app"
cp "$BUILD/horvane.exe" "$BUILD/bare_window.exe" "$BUILD/bare_network.exe" "$WORK/app/"
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

# Only this namespace sees the maker's host on loopback.
printf '127.0.0.1 localhost %s\n' "$MAKER_HOST" >"$WORK/hosts"
mount --bind "$WORK/hosts" /etc/hosts || exit 1
python3 - "$WORK/posts" <<'PY' &
import http.server, sys
class Answer(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        length = min(int(self.headers.get("Content-Length") or 0), 65536)
        self.rfile.read(length)
        with open(sys.argv[1], "a") as f:
            f.write(self.path + "\n")
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", "0")
        self.end_headers()
    def log_message(self, *args):
        pass
http.server.ThreadingHTTPServer(("127.0.0.1", 80), Answer).serve_forever()
PY
HTTP_PID=$!

# Wine's own start for the prefix is not the program's: keep Wine running.
wine cmd /c exit >/dev/null 2>&1

# one EXE TITLE: launch-to-visible milliseconds and private kB, two seconds
# after a window whose caption starts with TITLE showed. A run whose caption
# is not exactly TITLE by then (the network yardstick's peers did not
# answer) fails.
one() {
  local exe=$1 title=$2 t0 t1 pid kb win
  t0=$(date +%s%N)
  (cd "$WORK/app" && exec wine64 "$WORK/app/$exe") >/dev/null 2>&1 &
  until win=$(xdotool search --onlyvisible --name "^$title" 2>/dev/null | head -1) && [[ -n "$win" ]]; do
    (($(date +%s%N) - t0 > 30000000000)) && { echo "timeout"; return 1; }
    sleep 0.01
  done
  t1=$(date +%s%N)
  sleep 2
  pid=$(pgrep -x "${exe:0:15}" | head -1)
  [[ -n "$pid" ]] || { echo "no process"; return 1; }
  kb=$(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s}' "/proc/$pid/smaps_rollup" 2>/dev/null)
  local caption
  caption=$(xdotool getwindowname "$win" 2>/dev/null)
  kill "$pid" 2>/dev/null
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  [[ "$caption" == "$title" ]] || { echo "caption '$caption'"; return 1; }
  echo "$(((t1 - t0) / 1000000)) ${kb:-0}"
}

: >"$WORK/results"
for i in $(seq "$RUNS"); do
  echo "horvane $(one horvane.exe 'CALVION - Horvane')" >>"$WORK/results"
  echo "bare $(one bare_window.exe 'Bare Window')" >>"$WORK/results"
  echo "network $(one bare_network.exe 'Bare Network')" >>"$WORK/results"
  log "run $i of $RUNS"
done

POSTS=$(wc -l <"$WORK/posts" 2>/dev/null || echo 0)
python3 - "$WORK/results" "$RUNS" "$POSTS" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
bad = [r for r in rows if len(r) != 3]
if bad:
    sys.exit(f"{len(bad)} runs failed: {bad}")
def column(name, i):
    return [int(r[i]) for r in rows if r[0] == name]
ms_h, ms_b, ms_n = column("horvane", 1), column("bare", 1), column("network", 1)
kb_h, kb_b, kb_n = column("horvane", 2), column("bare", 2), column("network", 2)
med = statistics.median
print(f"| Figure ({sys.argv[2]} runs each, alternating) | horvane.exe | bare_window.exe | bare_network.exe | Ratio |")
print("|---|---:|---:|---:|---:|")
print(f"| Launch to visible window, median | {med(ms_h):.0f} ms | {med(ms_b):.0f} ms | {med(ms_n):.0f} ms | {med(ms_h) / med(ms_b):.2f} (to the bare window) |")
print(f"| Launch to visible window, range | {min(ms_h)} to {max(ms_h)} ms | {min(ms_b)} to {max(ms_b)} ms | {min(ms_n)} to {max(ms_n)} ms | |")
print(f"| Private memory 2 s after, median | {med(kb_h) / 1024:.1f} MB | {med(kb_b) / 1024:.1f} MB | {med(kb_n) / 1024:.1f} MB | {med(kb_h) / med(kb_n):.2f} (to the network one) |")
print(f"| Private memory 2 s after, range | {min(kb_h) / 1024:.1f} to {max(kb_h) / 1024:.1f} MB | {min(kb_b) / 1024:.1f} to {max(kb_b) / 1024:.1f} MB | {min(kb_n) / 1024:.1f} to {max(kb_n) / 1024:.1f} MB | |")
print()
print(f"POSTs the local listener answered: {sys.argv[3]}")
PY
echo
python3 "$REPO/scripts/pe-info.py" sections "$BUILD/horvane.exe" "$BUILD/bare_window.exe" \
  "$BUILD/bare_network.exe"
