#!/usr/bin/env bash
# The check endpoint names a newer version: about a second after start the
# notice opens in the top-right corner of the screen, on top, and closes
# itself after about eleven seconds. The request carries the identity fields.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
NOTICE="UPDATE AVAILABLE"
trap 'maker_site_down; cleanup' EXIT
begin
wine reg delete 'HKCU\Software\CALVION\Horvane' /f >/dev/null 2>&1
maker_site_up 18080 || fail "the maker site did not start"
maker_config '{"check": {"body": "<version>9.9</version>\r\n<url>https://127.0.0.1:18080/download</url>\r\n<price>0</price>\r\n<result>1</result>\r\n"}}'
# The start-up press reads the maker site too, so no server error comes up.
settings "Server=127.0.0.1:18080"
launch
driver wait "$NOTICE" 15000 || fail "no notice"
opened=$(date +%s%3N)
sleep 0.5
read -r left top width _ < <(driver rect "$NOTICE" | tr ',' ' ')
screen_w=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
expect_eq "$top" "5" "the notice's top"
expect_eq "$((left + width))" "$((screen_w - 5))" "the notice's right edge"
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/update-notice.png"
texts=$(driver dump "$NOTICE" | cut -d'|' -f6 | tr '\n' ' ')
[[ "$texts" == *"Click to download Horvane 9.9"* ]] || fail "notice texts '$texts'"
driver gone "$NOTICE" 16000 || fail "the notice did not close itself"
lived=$(( $(date +%s%3N) - opened ))
((lived > 9000 && lived < 14000)) || fail "the notice lived ${lived} ms"
# The prefix trusts this run's certificate, so the check went over HTTPS; a
# program of another prefix posting to the same port would not.
request=$(maker_requests /php/check2.php | grep -F '"scheme": "https"' | head -1)
[[ -n "$request" ]] || fail "no check request over HTTPS: $(cat "$MAKER_SITE/requests.log")"
for field in cmd=check appname=CALVION+-+Horvane version=2.2 "os=Windows" local=en-US guid= howmany=1; do
  [[ "$request" == *"$field"* ]] || fail "the check request lacks $field: $request"
done
echo "PASS"
