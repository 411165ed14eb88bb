#!/usr/bin/env bash
# The real Win32 adapters under Wine: Winsock against loopback peers and a
# real chronyd, the profile files, the version block and the settings folder.
# chronyd cannot run inside Wine, so it runs here on the Linux side, on a
# free loopback port that the tests read from HORVANE_CHRONYD_PORT.
# Usage: run-adapters.sh [WINDOWS_BUILD_DIR]
source "$(dirname "$0")/../../scripts/common.sh"

BUILD="${1:-$REPO/build/windows}"
EXE=$(wintests_exe "$BUILD") || exit 1
FILTER="${HORVANE_ADAPTER_FILTER:-ErrorText*:SntpClient*:SntpChrony*:UdpAdapter*:Win32Udp*:Win32Profile*:Win32Version*:Win32SettingsFolder*:Win32Files*:Win32Clock*:Win32Shell*:Win32Locale*}"

CHRONY_DIR=$(mktemp -d /tmp/horvane-wine-chronyd.XXXXXX)
CHRONY_PID=""
POOL_PIDS=()

stop_chronyd() {
  if [[ -n "$CHRONY_PID" ]]; then
    kill "$CHRONY_PID" 2>/dev/null || true
    wait "$CHRONY_PID" 2>/dev/null || true
  fi
  CHRONY_PID=""
}
cleanup() {
  stop_chronyd
  for pid in "${POOL_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$CHRONY_DIR" "${LINK_DIR:-}"
}
trap cleanup EXIT

free_udp_port() {
  python3 -c 'import socket; s=socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# True once chronyd gives a synchronised answer (leap indicator not 3,
# stratum 1) to one client request, on 127.0.0.1 and on ::1.
chronyd_answers() {
  python3 - "$1" <<'PY'
import socket, sys
request = bytearray(48)
request[0] = 0x23
request[40] = 0xEB
for family, host in ((socket.AF_INET, "127.0.0.1"), (socket.AF_INET6, "::1")):
    s = socket.socket(family, socket.SOCK_DGRAM)
    s.settimeout(0.2)
    try:
        s.sendto(bytes(request), (host, int(sys.argv[1])))
        reply, _ = s.recvfrom(512)
    except OSError:
        sys.exit(1)
    if not (len(reply) == 48 and reply[0] >> 6 != 3 and reply[1] == 1):
        sys.exit(1)
sys.exit(0)
PY
}

# -x: never touch the host's clock; -t: gone after 15 minutes even if this
# script is killed before its trap runs.
start_chronyd() {
  local port=$1
  cat >"$CHRONY_DIR/chrony.conf" <<CONF
local stratum 1
allow 127.0.0.1
allow ::1
port $port
bindaddress 127.0.0.1
bindaddress ::1
cmdport 0
bindcmdaddress /
pidfile $CHRONY_DIR/chronyd.pid
driftfile $CHRONY_DIR/drift
CONF
  /usr/sbin/chronyd -x -d -u root -t 900 -f "$CHRONY_DIR/chrony.conf" >"$CHRONY_DIR/chronyd.log" 2>&1 &
  CHRONY_PID=$!
  local end=$(($(date +%s%3N) + 5000))
  while (($(date +%s%3N) < end)); do
    kill -0 "$CHRONY_PID" 2>/dev/null || break
    chronyd_answers "$port" && return 0
  done
  stop_chronyd
  return 1
}

ensure_wine_prefix

# Links for the file adapter to refuse: Wine shows a Unix symbolic link as a
# reparse point, and can't plant one itself.
LINK_DIR=$(mktemp -d "$WINEPREFIX/drive_c/horvane-links.XXXXXX")
mkdir "$LINK_DIR/real"
printf old >"$LINK_DIR/real/target.bat"
ln -s real "$LINK_DIR/folder-link"
ln -s real/target.bat "$LINK_DIR/file-link.bat"
ln "$LINK_DIR/real/target.bat" "$LINK_DIR/hard-link.bat"
export HORVANE_LINK_FOLDER
HORVANE_LINK_FOLDER=$(winepath -w "$LINK_DIR" 2>/dev/null)

# A free port can be taken again before chronyd binds it: try a few.
PORT=""
for _ in 1 2 3; do
  candidate=$(free_udp_port)
  if start_chronyd "$candidate"; then
    PORT=$candidate
    break
  fi
done
if [[ -z "$PORT" ]]; then
  # The tests still run: the ones that need chronyd fail and say why.
  log "chronyd did not start: $(cat "$CHRONY_DIR/chronyd.log")"
fi
log "chronyd on 127.0.0.1 and ::1, port ${PORT:-none}"

# A pool name for the resolver under Wine: its first address, 127.0.0.1, is
# a socket that never answers, its second, ::1, a chronyd of its own (-6: no
# IPv4 socket). The name lives in a hosts file that is bound over /etc/hosts
# in a mount namespace of Wine's own, so nothing outside sees it.
POOL_DIR="$CHRONY_DIR/pool"
POOL_PORT=""
start_pool() {
  local port=$1
  mkdir -p "$POOL_DIR"
  cat >"$POOL_DIR/chrony.conf" <<CONF
local stratum 1
allow ::1
port $port
bindaddress ::1
cmdport 0
bindcmdaddress /
pidfile $POOL_DIR/chronyd.pid
driftfile $POOL_DIR/drift
CONF
  /usr/sbin/chronyd -x -d -6 -u root -t 900 -f "$POOL_DIR/chrony.conf" >"$POOL_DIR/chronyd.log" 2>&1 &
  POOL_PIDS+=($!)
  python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.bind(("127.0.0.1", int(sys.argv[1])))
time.sleep(900)' "$port" &
  POOL_PIDS+=($!)
  python3 - "$port" <<'PY'
import socket, sys, time
request = bytearray(48)
request[0] = 0x23
request[40] = 0xEB
end = time.time() + 5
while time.time() < end:
    s = socket.socket(socket.AF_INET6, socket.SOCK_DGRAM)
    s.settimeout(0.2)
    try:
        s.sendto(bytes(request), ("::1", int(sys.argv[1])))
        reply, _ = s.recvfrom(512)
        if len(reply) == 48 and reply[0] >> 6 != 3 and reply[1] == 1:
            sys.exit(0)
    except OSError:
        time.sleep(0.05)
sys.exit(1)
PY
}
RUN=()
if unshare -m true 2>/dev/null; then
  candidate=$(free_udp_port)
  if start_pool "$candidate"; then
    POOL_PORT=$candidate
    { cat /etc/hosts; printf '127.0.0.1 pool.horvane.test\n::1 pool.horvane.test\n'; } >"$POOL_DIR/hosts"
    RUN=(unshare -m sh -c 'mount --bind "$0" /etc/hosts && exec "$@"' "$POOL_DIR/hosts")
    export HORVANE_POOL_HOST=pool.horvane.test HORVANE_POOL_PORT=$POOL_PORT
    log "pool.horvane.test: 127.0.0.1 silent, ::1 chronyd, port $POOL_PORT"
  else
    log "pool chronyd did not start: $(cat "$POOL_DIR/chronyd.log")"
  fi
else
  log "no mount namespace here: the pool name test is skipped"
fi

# The program's own version block, once the program is built.
if [[ -f "$BUILD/horvane.exe" ]]; then
  export HORVANE_PROGRAM_EXE
  HORVANE_PROGRAM_EXE=$(winepath -w "$BUILD/horvane.exe" 2>/dev/null) || true
fi

# A zone a half hour off a whole hour, so the clock adapter's bias and the
# client's conversions are tried with minutes in the offset. Wine takes it
# from TZ; the clock test checks the bias it reports against date's.
export TZ="${HORVANE_WINE_TZ:-Asia/Kolkata}"
offset=$(date +%z)
sign=${offset:0:1}
minutes=$((10#${offset:1:2} * 60 + 10#${offset:3:2}))
[[ $sign == "+" ]] && minutes=$((-minutes))
export HORVANE_EXPECT_BIAS=$minutes
log "time zone $TZ, bias $HORVANE_EXPECT_BIAS minutes"

set +e
HORVANE_CHRONYD_PORT="$PORT" timeout 600 "${RUN[@]}" wine "$EXE" --gtest_filter="$FILTER" 2>&1
rc=$?
set -e
exit $rc
