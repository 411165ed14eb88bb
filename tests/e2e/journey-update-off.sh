#!/usr/bin/env bash
# With "ShowUpdate" 0 in the update store, a newer version is checked and
# stored but no notice opens; the launch counter goes on counting.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
STORE='HKCU\Software\CALVION\Horvane\Settings'
trap 'maker_site_down; cleanup' EXIT
begin
wine reg delete 'HKCU\Software\CALVION\Horvane' /f >/dev/null 2>&1
wine reg add "$STORE" /v ShowUpdate /t REG_SZ /d 0 /f >/dev/null 2>&1 || fail "could not store ShowUpdate"
wine reg add "$STORE" /v HowMany /t REG_SZ /d 4 /f >/dev/null 2>&1
wine reg add "$STORE" /v InstalledVersion /t REG_SZ /d 2.2 /f >/dev/null 2>&1
maker_site_up 18080 || fail "the maker site did not start"
maker_config '{"check": {"body": "<version>9.9</version>\r\n<url>https://127.0.0.1:18080/download</url>\r\n<price>0</price>\r\n<result>1</result>\r\n"}}'
# The start-up press reads the maker site too, so no server error comes up.
settings "Server=127.0.0.1:18080"
launch
wait_for 10000 bash -c "grep -s check2.php '$MAKER_SITE/requests.log' | grep -q https" ||
  fail "no check request"
! driver wait "UPDATE AVAILABLE" 4000 || fail "a notice opened although ShowUpdate is 0"
stored() { wine reg query "$STORE" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v {print $3}'; }
expect_eq "$(stored HowMany)" "5" "HowMany"
expect_eq "$(stored CurrentVersion)" "9.9" "CurrentVersion"
expect_eq "$(stored ShowUpdate)" "0" "ShowUpdate"
maker_requests /php/check2.php | grep -F '"scheme": "https"' | grep -q 'howmany=5' ||
  fail "the request did not carry howmany=5: $(cat "$MAKER_SITE/requests.log")"
echo "PASS"
