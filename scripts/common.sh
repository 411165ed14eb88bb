# Shared set-up of scripts/run and scripts/test: install what is missing and
# build. Sourced, not run.
set -euo pipefail

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${HORVANE_WINEPREFIX:-$REPO/.wine}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"

HORVANE_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth xdotool x11-utils imagemagick
  chrony sntp libpcre2-dev python3 openssl dpkg-dev
)

log() { printf '== %s\n' "$*" >&2; }

install_missing() {
  local missing=()
  for p in "${HORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    log "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# configure_and_build PRESET [TARGET...]
build_preset() {
  local preset=$1
  shift
  local dir="$REPO/build/$preset"
  if [[ ! -f "$dir/build.ninja" ]]; then
    cmake --preset "$preset" -S "$REPO" >/dev/null
  fi
  cmake --build "$dir" -j2 "$@"
}

# The project's own Wine prefix, made once.
ensure_wine_prefix() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    log "creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
  fi
}

# Starts Xvfb on a free display unless one is given; sets DISPLAY.
XVFB_PID=""
start_xvfb() {
  local n
  for n in $(seq 91 120); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
  done
  log "could not start Xvfb"
  return 1
}

stop_xvfb() {
  [[ -n "$XVFB_PID" ]] && kill "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
}
