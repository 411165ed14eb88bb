#!/usr/bin/env bash
# The NTS client under Wine against chronyd's NTS servers on the Linux side:
# one with a certificate from a throw-away CA that the prefix's ROOT store
# holds for this run only, one from a CA that it does not hold.
# Usage: run-nts.sh [WINDOWS_BUILD_DIR]
source "$(dirname "$0")/../../scripts/common.sh"
source "$REPO/tests/fixtures/nts_server.sh"

BUILD="${1:-$REPO/build/windows}"
EXE=$(wintests_exe "$BUILD") || exit 1
DIR=$(mktemp -d /tmp/horvane-wine-nts.XXXXXX)
cleanup() {
  # The CA stays among the prefix's roots until the wineserver ends.
  wineserver -k 2>/dev/null || true
  nts_servers_stop
  rm -rf "$DIR"
}
trap cleanup EXIT

nts_pki_make "$DIR" || exit 1
openssl x509 -in "$DIR/ca.pem" -outform DER -out "$DIR/ca.der"
nts_server_start "$DIR" leaf >/dev/null || { log "chronyd with NTS did not start"; exit 1; }
nts_server_start "$DIR" stranger >/dev/null || { log "the second chronyd did not start"; exit 1; }
log "chronyd with NTS: key exchange on 127.0.0.1:${NTS_KE_PORT[leaf]} (trusted)," \
  "${NTS_KE_PORT[stranger]} (untrusted CA)"

ensure_wine_prefix
set +e
HORVANE_NTS_PORT=${NTS_KE_PORT[leaf]} HORVANE_NTS_STRANGER_PORT=${NTS_KE_PORT[stranger]} \
  HORVANE_NTS_CA=$(winepath -w "$DIR/ca.der" 2>/dev/null) \
  with_root_ca "$DIR/ca.pem" timeout 300 wine "$EXE" --gtest_filter='*NtsWine*' 2>&1
rc=$?
set -e
[[ $rc -eq 0 ]] || cat "$DIR/leaf.log" "$DIR/stranger.log"
exit $rc
