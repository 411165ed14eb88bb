#!/usr/bin/env bash
# scripts/package signs the program and the installer with the certificate
# it is given, and says in one line that it skips signing without one. It
# leaves the staging folder unsigned; dist/ is not touched.
set -uo pipefail
REPO="$(cd "$(dirname "$0")/../.." && pwd)"
WORK=$(mktemp -d /tmp/horvane-signing.XXXXXX)
trap 'rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Horvane test signer" \
  -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null || fail "no test certificate"
openssl pkcs12 -export -inkey "$WORK/key.pem" -in "$WORK/cert.pem" -passout pass:s3cret \
  -out "$WORK/signer.pfx" || fail "no PKCS#12 file"

HORVANE_SIGN_CERT="$WORK/signer.pfx" HORVANE_SIGN_PASSWORD=s3cret \
  bash "$REPO/scripts/package" "$WORK/dist" 2>"$WORK/signed.log" || fail "signed package: $(cat "$WORK/signed.log")"
version=$(python3 "$REPO/scripts/pe-info.py" version "$REPO/build/release/horvane.exe")
python3 -m zipfile -e "$WORK/dist/horvane-$version-portable.zip" "$WORK/zip" || fail "the zip does not unpack"
for f in "$WORK/zip/Horvane/horvane.exe" "$WORK/dist/horvane-$version.msi"; do
  osslsigncode verify -CAfile "$WORK/cert.pem" -in "$f" >"$WORK/verify.log" 2>&1 ||
    fail "$(basename "$f") is not signed by the given certificate: $(cat "$WORK/verify.log")"
done
# The signature comes off the program cleanly, which is how a user compares a
# signed download with a build of the sources.
osslsigncode remove-signature -in "$WORK/zip/Horvane/horvane.exe" -out "$WORK/unsigned.exe" >/dev/null 2>&1 &&
  cmp -s "$WORK/unsigned.exe" "$REPO/build/release/horvane.exe" ||
  fail "the signed horvane.exe without its signature is not the built one"
# A wrong password is a failure, not an unsigned package.
! HORVANE_SIGN_CERT="$WORK/signer.pfx" HORVANE_SIGN_PASSWORD=wrong \
  bash "$REPO/scripts/package" "$WORK/wrong" 2>/dev/null || fail "a wrong password still made a package"

env -u HORVANE_SIGN_CERT bash "$REPO/scripts/package" "$WORK/unsigned" 2>"$WORK/unsigned.log" ||
  fail "unsigned package: $(cat "$WORK/unsigned.log")"
skipped=$(grep -c '^== signing skipped: HORVANE_SIGN_CERT is not set$' "$WORK/unsigned.log")
[[ "$skipped" == 1 ]] || fail "no single line on skipped signing: $(cat "$WORK/unsigned.log")"
osslsigncode verify -in "$WORK/unsigned/horvane-$version.msi" >/dev/null 2>&1 &&
  fail "the unsigned installer carries a signature"
echo "PASS"
