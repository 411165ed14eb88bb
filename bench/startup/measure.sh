#!/usr/bin/env bash
# Start-up to a visible window and private memory of the release horvane.exe
# against three yardsticks of the same build, measured in one run, under Wine
# on Xvfb, alternating the four programs:
#   bare_window.exe   one window, one message loop: the start-up figure;
#   bare_controls.exe the program's window (menu bar, controls, pictures,
#                     focus) made with plain Win32 calls: the floor of what
#                     that window costs here;
#   bare_network.exe  the bare window plus one WinHTTP POST and one SNTP
#                     exchange on loopback: the memory figure, which so counts
#                     the program's own cost and not Wine's network stack.
# Prints a Markdown table with the medians and their ratios, and each
# program's section sizes.
#
# Usage: bench/startup/measure.sh [RUNS]   (after scripts/package)
# HORVANE_RELEASE_BUILD names another build folder of the release preset, for
# example one configured with other optimisation flags. HORVANE_BEFORE_BUILD
# names a second one whose horvane.exe joins the same run, alternating with
# the others, so that a change is measured before and after under one load.
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
for exe in horvane bare_window bare_controls bare_network; do
  [[ -f "$BUILD/$exe.exe" ]] || { log "build the release preset first ($exe.exe)"; exit 1; }
done
BEFORE="${HORVANE_BEFORE_BUILD:-}"
[[ -z "$BEFORE" || -f "$BEFORE/horvane.exe" ]] || { log "no $BEFORE/horvane.exe"; exit 1; }
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
cp "$BUILD"/{horvane,bare_window,bare_controls,bare_network}.exe "$WORK/app/"
[[ -z "$BEFORE" ]] || cp "$BEFORE/horvane.exe" "$WORK/app/horvane_before.exe"
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
  # What Windows counts as private bytes: not the pages of the image, which
  # a file-backed mapping shares, but show as private here while the copy
  # just made is unwritten in the page cache and mapped by one process.
  anon=$(awk '/^Anonymous:/ {s += $2} END {print s}' "/proc/$pid/smaps_rollup" 2>/dev/null)
  local caption
  caption=$(xdotool getwindowname "$win" 2>/dev/null)
  kill "$pid" 2>/dev/null
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
  [[ "$caption" == "$title" ]] || { echo "caption '$caption'"; return 1; }
  echo "$(((t1 - t0) / 1000000)) ${kb:-0} ${anon:-0}"
}

: >"$WORK/results"
for i in $(seq "$RUNS"); do
  echo "horvane $(one horvane.exe 'CALVION - Horvane')" >>"$WORK/results"
  echo "bare $(one bare_window.exe 'Bare Window')" >>"$WORK/results"
  echo "controls $(one bare_controls.exe 'Bare Controls')" >>"$WORK/results"
  echo "network $(one bare_network.exe 'Bare Network')" >>"$WORK/results"
  [[ -z "$BEFORE" ]] || echo "before $(one horvane_before.exe 'CALVION - Horvane')" >>"$WORK/results"
  log "run $i of $RUNS"
done

POSTS=$(wc -l <"$WORK/posts" 2>/dev/null || echo 0)
python3 - "$WORK/results" "$RUNS" "$POSTS" <<'PY'
import statistics, sys
rows = [line.split() for line in open(sys.argv[1])]
bad = [r for r in rows if len(r) != 4]
# A run that failed is named, and the medians are of the others.
if bad:
    print(f"Runs that failed, left out: {bad}\n")
rows = [r for r in rows if len(r) == 4]
def column(name, i):
    return [int(r[i]) for r in rows if r[0] == name]
med = statistics.median
names = [("horvane", "horvane.exe"), ("before", "horvane.exe before"),
         ("bare", "bare_window.exe"), ("controls", "bare_controls.exe"),
         ("network", "bare_network.exe")]
names = [(k, label) for k, label in names if column(k, 1)]
ms = {k: column(k, 1) for k, _ in names}
kb = {k: column(k, 2) for k, _ in names}
anon = {k: column(k, 3) for k, _ in names}
def row(title, cells):
    print(f"| {title} | " + " | ".join(cells) + " |")
row(f"Figure ({sys.argv[2]} runs each, alternating)", [label for _, label in names])
print("|---|" + "---:|" * len(names))
row("Launch to visible window, median", [f"{med(ms[k]):.0f} ms" for k, _ in names])
row("Launch to visible window, range", [f"{min(ms[k])} to {max(ms[k])} ms" for k, _ in names])
row("Start-up ratio to bare_window.exe", [f"{med(ms[k]) / med(ms['bare']):.2f}" for k, _ in names])
row("Start-up ratio to bare_controls.exe",
    [f"{med(ms[k]) / med(ms['controls']):.2f}" for k, _ in names])
row("Private memory 2 s after, median", [f"{med(kb[k]) / 1024:.1f} MB" for k, _ in names])
row("Private memory 2 s after, range",
    [f"{min(kb[k]) / 1024:.1f} to {max(kb[k]) / 1024:.1f} MB" for k, _ in names])
row("Memory ratio to bare_network.exe", [f"{med(kb[k]) / med(kb['network']):.2f}" for k, _ in names])
row("Anonymous memory 2 s after, median", [f"{med(anon[k]) / 1024:.1f} MB" for k, _ in names])
row("Anonymous memory ratio to bare_network.exe",
    [f"{med(anon[k]) / med(anon['network']):.2f}" for k, _ in names])
print()
print(f"POSTs the local listener answered: {sys.argv[3]}")
PY
echo
python3 "$REPO/scripts/pe-info.py" sections "$BUILD"/{horvane,bare_window,bare_controls,bare_network}.exe
