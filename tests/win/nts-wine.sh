#!/usr/bin/env bash
# The NTS client under Wine against chronyd's NTS server, which runs here on
# the Linux side with a throw-away CA and certificate made for this run.
# Not among the run-*.sh that scripts/test runs yet: under Wine 8 the ROOT
# system store does not show a CA written to the prefix's registry root
# stores, so the client cannot find the run's CA there.
# Usage: nts-wine.sh [WINDOWS_BUILD_DIR]
source "$(dirname "$0")/../../scripts/common.sh"

BUILD="${1:-$REPO/build/windows}"
EXE=$(wintests_exe "$BUILD") || exit 1
DIR=$(mktemp -d /tmp/horvane-wine-nts.XXXXXX)
CHRONY_PID=""
cleanup() {
  if [[ -n "$CHRONY_PID" ]]; then
    kill "$CHRONY_PID" 2>/dev/null || true
    wait "$CHRONY_PID" 2>/dev/null || true
  fi
  rm -rf "$DIR"
}
trap cleanup EXIT

free_port() {
  python3 -c "import socket; s=socket.socket(socket.AF_INET, socket.$1); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])"
}

(
  cd "$DIR"
  now=$(date -u +%s)
  stamp() { date -u -d "@$((now + $1 * 86400))" +%Y%m%d%H%M%SZ; }
  printf '[ca]\ndefault_ca = d\n[d]\ndatabase = index.txt\nnew_certs_dir = .\nserial = serial\ndefault_md = sha256\npolicy = p\ncopy_extensions = copy\nunique_subject = no\n[p]\ncommonName = supplied\n[v3_ca]\nbasicConstraints = critical,CA:true\nkeyUsage = critical,keyCertSign,cRLSign\nsubjectKeyIdentifier = hash\n[leaf]\nbasicConstraints = CA:false\nsubjectKeyIdentifier = hash\nauthorityKeyIdentifier = keyid\n' >ca.cnf
  : >index.txt
  echo 01 >serial
  for name in ca leaf; do
    openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout $name.key -out $name.csr \
      -subj "/CN=Horvane-wine-$name" -addext subjectAltName=DNS:localhost
  done
  openssl ca -batch -config ca.cnf -notext -selfsign -keyfile ca.key -in ca.csr -out ca.pem \
    -extensions v3_ca -startdate "$(stamp -10)" -enddate "$(stamp 3000)"
  openssl ca -batch -config ca.cnf -notext -cert ca.pem -keyfile ca.key -in leaf.csr -out leaf.pem \
    -extensions leaf -startdate "$(stamp -1)" -enddate "$(stamp 30)"
  openssl x509 -in ca.pem -outform DER -out ca.der
) >"$DIR/openssl.log" 2>&1 || { cat "$DIR/openssl.log"; exit 1; }

NTP_PORT=$(free_port SOCK_DGRAM)
NTS_PORT=$(free_port SOCK_STREAM)
mkdir -p "$DIR/dump"
cat >"$DIR/chrony.conf" <<CONF
local stratum 1
allow 127.0.0.1
port $NTP_PORT
bindaddress 127.0.0.1
cmdport 0
bindcmdaddress /
pidfile $DIR/chronyd.pid
driftfile $DIR/drift
ntsserverkey $DIR/leaf.key
ntsservercert $DIR/leaf.pem
ntsport $NTS_PORT
ntsdumpdir $DIR/dump
CONF
# -x: never touch the host's clock; -t: gone after 15 minutes in any case.
/usr/sbin/chronyd -x -d -u root -t 900 -f "$DIR/chrony.conf" >"$DIR/chronyd.log" 2>&1 &
CHRONY_PID=$!
for _ in $(seq 100); do
  python3 -c "import socket; socket.create_connection(('127.0.0.1', $NTS_PORT), 0.2)" 2>/dev/null && break
  sleep 0.05
done
log "chronyd with NTS: key exchange on 127.0.0.1:$NTS_PORT, NTP on $NTP_PORT"

ensure_wine_prefix
set +e
HORVANE_NTS_PORT=$NTS_PORT HORVANE_NTS_CA=$(winepath -w "$DIR/ca.der" 2>/dev/null) \
  timeout 300 wine "$EXE" --gtest_filter='NtsWine*' 2>&1
rc=$?
set -e
[[ $rc -eq 0 ]] || cat "$DIR/chronyd.log"
exit $rc
