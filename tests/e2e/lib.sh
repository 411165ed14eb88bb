# Shared steps of the end-to-end journeys: a fresh program folder, Xvfb, the
# program under Wine, the driver, screenshots. Sourced by journey-*.sh with
# the windows-e2e build folder as $1.
set -euo pipefail
REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
source "$REPO/scripts/common.sh"
set +e

BUILD="${1:-$REPO/build/windows-e2e}"
TITLE="CALVION - Horvane"
APPDIR=""
APP_PID=""
SERVER_PID=""
RELAY_PID=""

fail() {
  echo "FAIL: $*"
  [[ -n "$APPDIR" ]] && screenshot "$APPDIR/failure.png" && echo "screenshot: $APPDIR/failure.png"
  cleanup
  exit 1
}

cleanup() {
  [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null
  [[ -n "$SERVER_PID" ]] && kill "$SERVER_PID" 2>/dev/null
  SERVER_PID=""
  [[ -n "$RELAY_PID" ]] && kill "$RELAY_PID" 2>/dev/null
  RELAY_PID=""
  wineserver -k 2>/dev/null
  stop_xvfb
  APP_PID=""
}
trap cleanup EXIT

# A fresh folder with the program, its language files and its driver.
make_appdir() {
  APPDIR=$(mktemp -d /tmp/horvane-e2e.XXXXXX)
  cp "$BUILD/horvane.exe" "$APPDIR/"
  cp -r "$REPO/Languages" "$APPDIR/"
  [[ -f "$REPO/license.txt" ]] && cp "$REPO/license.txt" "$APPDIR/"
  cp "$BUILD/hvdriver.exe" "$APPDIR/"
  # The recording clock writes next to the program.
  CLOCK_LOG="$APPDIR/clock-writes.log"
}

settings() { printf '[Settings]\r\n%s' "$(printf '%s\r\n' "$@")" >"$APPDIR/settings.ini"; }

begin() {
  ensure_wine_prefix
  start_xvfb || fail "no Xvfb"
  make_appdir
}

# begin, with the maker's site of tests/fixtures/maker_tls.sh (sourced by the
# journey) on 127.0.0.1:18080, so the start-up fetch finds it.
begin_with_maker_site() {
  trap 'maker_site_down; cleanup' EXIT
  begin
  maker_site_up 18080 || fail "the maker site did not start"
}

# A command prefix the program is started through (for example
# tests/fixtures/nts_server.sh's ROOT_CA_RUN); it must exec, so that APP_PID
# stays the program's.
LAUNCH_THROUGH=()
launch() {
  (cd "$APPDIR" && exec "${LAUNCH_THROUGH[@]}" wine64 "$APPDIR/horvane.exe" "$@") >"$APPDIR/wine.log" 2>&1 &
  APP_PID=$!
  driver wait "$TITLE" 30000 || fail "the main window did not appear"
}

driver() { wine64 "$APPDIR/hvdriver.exe" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# The text of the child at layout position X,Y (physical pixels, client area).
text_at() {
  driver dump "$TITLE" | awk -F'|' -v x="$1" -v y="$2" '{split($2,r,","); if (r[1]==x && r[2]==y) {print $6; exit}}'
}

screenshot() { import -window root "$1" 2>/dev/null; }

expect_eq() { [[ "$1" == "$2" ]] || fail "$3: expected '$2', got '$1'"; }

app_running() { kill -0 "$APP_PID" 2>/dev/null; }

# A time server on 127.0.0.1:PORT (123 unless given), the program's own
# port: chronyd serving its local clock without touching the host's (-x), run
# in the foreground.
start_chronyd_123() {
  local dir
  dir=$(mktemp -d /tmp/horvane-chrony.XXXXXX)
  cat >"$dir/chrony.conf" <<CONF
port ${1:-123}
bindaddress 127.0.0.1
allow 127.0.0.1
local stratum 8
cmdport 0
pidfile $dir/chronyd.pid
CONF
  /usr/sbin/chronyd -d -x -f "$dir/chrony.conf" >"$dir/chronyd.log" 2>&1 &
  SERVER_PID=$!
  sleep 1
  kill -0 "$SERVER_PID" 2>/dev/null || fail "chronyd did not start: $(cat "$dir/chronyd.log")"
}

# chronyd behind a path of OUT ms to it and BACK ms from it: the relay of
# the native build (tests/fixtures/udp_relay.cpp) on 127.0.0.1:123, chronyd
# on 127.0.0.1:12300.
RELAY="${HORVANE_UDP_RELAY:-$REPO/build/native/tests/horvane_udp_relay}"
start_relayed_chronyd_123() {
  [[ -x "$RELAY" ]] || fail "no relay at $RELAY: build the native preset first"
  start_chronyd_123 12300
  "$RELAY" --listen 123 --server 12300 --out "$1" --back "$2" --lifetime 300 \
    >"$APPDIR/relay.log" 2>&1 &
  RELAY_PID=$!
  wait_for 3000 grep -q '^listening' "$APPDIR/relay.log" || fail "the relay did not start: $(cat "$APPDIR/relay.log")"
}

# The crafted server of the fixtures, OFFSET seconds ahead of the host clock;
# further arguments go to the fixture (--answer N).
start_fixture_123() {
  python3 "$REPO/tests/fixtures/sntp_server.py" --port 123 --offset "$1" "${@:2}" \
    --log "$APPDIR/sntp-requests.log" &
  SERVER_PID=$!
  sleep 0.5
  kill -0 "$SERVER_PID" 2>/dev/null || fail "the SNTP fixture did not start"
}

# Closes the time service's ERROR box when one is open; true when it did.
close_error_box() {
  driver visible ERROR >/dev/null 2>&1 || return 1
  driver close ERROR && driver gone ERROR 5000
}

clock_writes() { [[ -f "$CLOCK_LOG" ]] && grep -c . "$CLOCK_LOG" || echo 0; }

# Waits up to MS for a command to succeed.
wait_for() {
  local ms=$1 end
  shift
  end=$(($(date +%s%3N) + ms))
  until "$@"; do
    (($(date +%s%3N) > end)) && return 1
    sleep 0.2
  done
}

# A locale for Wine's interface language, generated once.
ensure_locale() {
  locale -a 2>/dev/null | grep -qix "${1/UTF-8/utf8}" && return 0
  localedef -i "${1%%.*}" -f UTF-8 "$1" >/dev/null 2>&1
}

# Client-area position of the main window's controls at 96 DPI.
LABEL2_AT=(194 36)
LABEL4_AT=(194 65)

# Moves the pointer to X,Y of the main window's client area.
hover_client() {
  local r w h cw ch border
  r=$(driver rect "$TITLE")
  read -r w h cw ch < <(echo "$r" | awk -F'[ ,]+' '{print $3, $4, $6, $7}')
  border=$(((w - cw) / 2))
  local left top
  left=$(echo "$r" | cut -d, -f1)
  top=$(echo "$r" | cut -d, -f2)
  xdotool mousemove $((left + border + $1)) $((top + h - ch - border + $2))
}

# Chooses item ITEM (0 first) of the main-menu title at X pixels from the
# window's left edge, with the mouse: Wine keeps menus inside their process,
# so the driver can't read them.
choose_menu() {
  local r left rest top
  r=$(driver rect "$TITLE")
  left=${r%%,*}
  rest=${r#*,}
  top=${rest%%,*}
  xdotool mousemove $((left + $1)) $((top + 32)) click 1
  sleep 0.5
  xdotool mousemove $((left + $1 + 24)) $((top + 53 + 20 * $2)) click 1
}
