#!/usr/bin/env bash
# The web adapters under Wine: both WinHTTP clients against the loopback
# maker site (HTTPS with a certificate made for this run and trusted by the
# project's Wine prefix, plain HTTP, an untrusted certificate, a host that
# never answers, a closed port), the real registry and the locale calls.
# Usage: run-web.sh [WINDOWS_BUILD_DIR]
source "$(dirname "$0")/../../scripts/common.sh"
source "$REPO/tests/fixtures/maker_tls.sh"

BUILD="${1:-$REPO/build/windows}"
EXE=$(wintests_exe "$BUILD") || exit 1
FILTER="${HORVANE_WEB_FILTER:-WinHttpMaker*:ScratchKey*:Win32Identity*}"

SITE=$(mktemp -d /tmp/horvane-wine-site.XXXXXX)
cleanup() {
  maker_server_stop
  maker_tls_untrust
  rm -rf "$SITE"
}
trap cleanup EXIT

ensure_wine_prefix
# Loopback only: no proxy may stand between the tests and the site.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY no_proxy NO_PROXY

maker_tls_make "$SITE" || { log "openssl could not make the certificates"; exit 1; }
maker_tls_trust "$SITE" || { log "the Wine prefix could not be made to trust the test CA"; exit 1; }
maker_server_start "$SITE" 0:dual 0:badtls 0:silent || {
  log "the maker site did not start: $(cat "$SITE/server.log")"
  exit 1
}
CLOSED=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
log "maker site: dual ${MAKER_PORTS[dual]}, badtls ${MAKER_PORTS[badtls]}, silent ${MAKER_PORTS[silent]}, closed $CLOSED"

set +e
HORVANE_MAKER_PORT=${MAKER_PORTS[dual]} HORVANE_MAKER_BADTLS_PORT=${MAKER_PORTS[badtls]} \
  HORVANE_MAKER_SILENT_PORT=${MAKER_PORTS[silent]} HORVANE_MAKER_CLOSED_PORT=$CLOSED \
  timeout 600 wine "$EXE" --gtest_filter="$FILTER" 2>&1
rc=$?
set -e
exit $rc
