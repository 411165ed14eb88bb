# Shared set-up of scripts/run and scripts/test: install what is missing and
# build. Sourced, not run.
set -euo pipefail

REPO="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${HORVANE_WINEPREFIX:-$REPO/.wine}"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# Debian keeps the 64-bit loader off PATH.
command -v wine64 >/dev/null || export PATH="$PATH:/usr/lib/wine"

HORVANE_PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev llvm googletest
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick
  chrony sntp libpcre2-dev libssl-dev pkg-config libbenchmark-dev python3 openssl ca-certificates
  dpkg-dev
  wixl msitools osslsigncode faketime python3-yaml
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

# PCRE2 for the Windows builds: Debian's own pcre2 source package, built
# once with the MinGW toolchain into a cache outside git. cmake/pcre2.cmake
# finds it there.
# Outside the clone, so that later clones on this machine reuse what one built.
export HORVANE_DEPS_DIR="${HORVANE_DEPS_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/horvane/deps}"
PCRE2_MINGW_PREFIX="$HORVANE_DEPS_DIR/pcre2-mingw"

# Adds a deb-src entry for the Debian archive this machine already uses.
ensure_debian_sources() {
  local list=/etc/apt/sources.list.d/horvane-deb-src.sources
  local uri="" suite=""
  if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
    uri=$(awk '/^URIs:/ && $2 ~ /debian\/?$/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
    suite=$(awk '/^Suites:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources)
  fi
  if [[ -z "$uri" && -f /etc/apt/sources.list ]]; then
    read -r uri suite < <(awk '$1 == "deb" && $2 !~ /security/ {print $2, $3; exit}' /etc/apt/sources.list)
  fi
  uri=${uri:-http://deb.debian.org/debian}
  suite=${suite:-$(. /etc/os-release && echo "$VERSION_CODENAME")}
  [[ -f "$list" ]] || log "adding a deb-src entry for $uri $suite"
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$uri" "$suite" >"$list"
  apt-get update -qq -o Dir::Etc::sourcelist="$list" -o Dir::Etc::sourceparts=- \
    -o APT::Get::List-Cleanup=0 >/dev/null
}

# The e-mail pattern is plain ASCII classes matched byte by byte, so PCRE2
# goes without its Unicode tables and without JIT. The options are kept next
# to the library, and a cache built with others is built again.
PCRE2_MINGW_OPTIONS=(
  -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF
  -DPCRE2_SUPPORT_UNICODE=OFF -DPCRE2_SUPPORT_JIT=OFF
  -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF
  -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBZ=OFF -DPCRE2_SUPPORT_LIBEDIT=OFF
  -DPCRE2_SUPPORT_LIBREADLINE=OFF
  # A release link drops the functions the pattern never calls.
  "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
)

ensure_pcre2_mingw() {
  local stamp="$PCRE2_MINGW_PREFIX/horvane-options.txt"
  if [[ -f "$PCRE2_MINGW_PREFIX/lib/libpcre2-8.a" && -f "$PCRE2_MINGW_PREFIX/include/pcre2.h" &&
    "$(cat "$stamp" 2>/dev/null)" == "${PCRE2_MINGW_OPTIONS[*]}" ]]; then
    return 0
  fi
  log "building PCRE2 for MinGW-w64 into $PCRE2_MINGW_PREFIX"
  rm -rf "$PCRE2_MINGW_PREFIX"
  ensure_debian_sources || return 1
  local work="$HORVANE_DEPS_DIR/src"
  rm -rf "$work" && mkdir -p "$work" || return 1
  (cd "$work" && apt-get source -qq pcre2 >/dev/null 2>&1) || { log "apt-get source pcre2 failed"; return 1; }
  local src
  src=$(find "$work" -maxdepth 1 -type d -name 'pcre2-*' | head -1)
  [[ -n "$src" ]] || { log "no pcre2 sources in $work"; return 1; }
  cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$PCRE2_MINGW_PREFIX" -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
    "${PCRE2_MINGW_OPTIONS[@]}" >/dev/null || return 1
  cmake --build "$work/build" -j2 >/dev/null || return 1
  cmake --install "$work/build" >/dev/null || return 1
  printf '%s' "${PCRE2_MINGW_OPTIONS[*]}" >"$stamp"
  rm -rf "$work"
}

# OpenSSL for authenticated time in the Windows build: Debian's openssl
# sources, static, TLS 1.3 only and trimmed to what a TLS client with
# AES-SIV and ECDHE needs. The cache is keyed by the source version and the
# options, and records both.
OPENSSL_MINGW_OPTIONS=(
  mingw64 no-shared no-tests no-module no-dso no-engine no-legacy no-comp
  no-ssl3 no-tls1 no-tls1_1 no-tls1_2 no-dtls no-srtp no-dh no-dsa no-ec2m no-err no-filenames
  no-ocsp no-cms no-ts no-srp no-ct no-idea no-mdc2 no-rc2 no-rc4 no-rc5 no-bf no-cast
  no-camellia no-seed no-whirlpool no-md4 no-rmd160 no-sm2 no-sm3 no-sm4 no-aria no-blake2
  no-siphash no-scrypt no-ui-console no-async no-autoload-config
  no-asm no-des no-chacha no-poly1305 no-ocb no-rfc3779 no-cmp no-sock no-multiblock
  -Os -ffunction-sections -fdata-sections
)

# Prints the prefix of the cached build, building it first when missing.
ensure_openssl_mingw() {
  local version
  version=$(apt-cache showsrc openssl 2>/dev/null | awk '/^Version:/ {print $2}' | sort -V | tail -1)
  if [[ -z "$version" ]]; then
    ensure_debian_sources || return 1
    version=$(apt-cache showsrc openssl | awk '/^Version:/ {print $2}' | sort -V | tail -1)
  fi
  local key
  key=$(printf '%s %s' "$version" "${OPENSSL_MINGW_OPTIONS[*]}" | sha256sum | cut -c1-12)
  local prefix="$HORVANE_DEPS_DIR/openssl-mingw-$version-$key"
  if [[ -f "$prefix/lib/libssl.a" && -f "$prefix/horvane-build.txt" ]]; then
    echo "$prefix"
    return 0
  fi
  log "building OpenSSL $version for MinGW-w64 into $prefix"
  ensure_debian_sources || return 1
  local work="$HORVANE_DEPS_DIR/src-openssl"
  rm -rf "$work" "$prefix" && mkdir -p "$work" || return 1
  (cd "$work" && apt-get source -qq "openssl=$version" >/dev/null 2>&1) ||
    { log "apt-get source openssl failed"; return 1; }
  local src
  src=$(find "$work" -maxdepth 1 -type d -name 'openssl-*' | head -1)
  [[ -n "$src" ]] || { log "no openssl sources in $work"; return 1; }
  (cd "$src" && CC=gcc-posix ./Configure "${OPENSSL_MINGW_OPTIONS[@]}" \
    --cross-compile-prefix=x86_64-w64-mingw32- --prefix="$prefix" --libdir=lib >/dev/null &&
    nice -n 10 make -j2 build_libs >build.log 2>&1 && make install_dev >/dev/null) ||
    { log "OpenSSL build failed: see $src/build.log"; return 1; }
  printf 'openssl %s\noptions %s\n' "$version" "${OPENSSL_MINGW_OPTIONS[*]}" >"$prefix/horvane-build.txt"
  rm -rf "$work"
  echo "$prefix"
}

# configure_and_build PRESET [TARGET...]
build_preset() {
  local preset=$1
  shift
  local dir="$REPO/build/$preset"
  local args=()
  if [[ $preset == windows* || $preset == release ]]; then
    ensure_pcre2_mingw || return 1
    local ssl
    ssl=$(ensure_openssl_mingw) || return 1
    args+=(-DHORVANE_OPENSSL_MINGW="$ssl")
    # A build folder made with other OpenSSL options is pointed at this one.
    if [[ -f "$dir/build.ninja" ]] && ! grep -qxF "HORVANE_OPENSSL_MINGW:PATH=$ssl" "$dir/CMakeCache.txt"; then
      rm -f "$dir/build.ninja"
    fi
  fi
  if [[ ! -f "$dir/build.ninja" ]]; then
    cmake --preset "$preset" -S "$REPO" "${args[@]}" >/dev/null
  fi
  cmake --build "$dir" -j2 "$@"
}

# The Windows test program of a build folder; fails when it was not built.
wintests_exe() {
  local exe="$1/tests/horvane_wintests.exe"
  if [[ ! -f "$exe" ]]; then
    log "missing $exe: build the windows preset first"
    return 1
  fi
  echo "$exe"
}

# The project's own Wine prefix, made once.
ensure_wine_prefix() {
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    log "creating the Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot --init >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  # One virtual desktop with its own taskbar and notification area: without a
  # window manager, Wine's stand-alone tray window can hang a program that
  # removes its icon at exit, and windows get no frames.
  if ! grep -q '"Default"="1280x800"' "$WINEPREFIX/user.reg" 2>/dev/null; then
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x800 /f >/dev/null 2>&1
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
      if xdpyinfo >/dev/null 2>&1; then
        # A Wine session left by an earlier step keeps the display it began
        # with (or none), and windows of this run would not appear: start anew.
        wineserver -k 2>/dev/null || true
        wineserver -w 2>/dev/null || true
        return 0
      fi
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
