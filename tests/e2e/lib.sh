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

fail() {
  echo "FAIL: $*"
  [[ -n "$APPDIR" ]] && screenshot "$APPDIR/failure.png" && echo "screenshot: $APPDIR/failure.png"
  cleanup
  exit 1
}

cleanup() {
  [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null
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
  export HORVANE_CLOCK_LOG="$APPDIR/clock-writes.log"
}

settings() { printf '[Settings]\r\n%s' "$(printf '%s\r\n' "$@")" >"$APPDIR/settings.ini"; }

begin() {
  ensure_wine_prefix
  start_xvfb || fail "no Xvfb"
  make_appdir
}

launch() {
  (cd "$APPDIR" && exec wine64 "$APPDIR/horvane.exe" "$@") >"$APPDIR/wine.log" 2>&1 &
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
