#!/usr/bin/env bash
# An on-path attacker resets HTTPS and answers the update check over plain
# HTTP with a newer version and a download of its own. The notice still
# opens, but its link opens the maker's home page over https, never the
# attacker's address. A stand-in browser registered for http and https in
# the prefix records what the shell was asked to open. Wine's classes root
# does not take HKCU\Software\Classes in, so it goes in the prefix's machine
# classes, and the browser that was there comes back at the end.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
NOTICE="UPDATE AVAILABLE"
declare -A BROWSER=()
command_key() { echo "HKLM\\Software\\Classes\\$1\\shell\\open\\command"; }
restore_browser() {
  local scheme
  for scheme in "${!BROWSER[@]}"; do
    wine reg add "$(command_key "$scheme")" /ve /d "${BROWSER[$scheme]}" /f >/dev/null 2>&1
  done
}
trap 'restore_browser; maker_site_down; cleanup' EXIT
begin
wine reg delete 'HKCU\Software\CALVION\Horvane' /f >/dev/null 2>&1
OPENED="$APPDIR/opened.log"
opened_win=$(winepath -w "$OPENED" 2>/dev/null)
[[ -n "$opened_win" ]] || fail "no Windows path for the browser's record"
for scheme in http https; do
  BROWSER[$scheme]=$(wine reg query "$(command_key "$scheme")" /ve 2>/dev/null |
    awk -F'REG_SZ    ' '/REG_SZ/ {print $2}' | tr -d '\r')
  [[ -n "${BROWSER[$scheme]}" ]] || fail "the prefix has no browser for $scheme"
  wine reg add "$(command_key "$scheme")" /ve \
    /d "C:\\windows\\system32\\cmd.exe /d /c echo %1>>$opened_win" /f >/dev/null 2>&1 ||
    fail "could not register the stand-in browser for $scheme"
done
maker_site_up 18080 || fail "the maker site did not start"
maker_config '{"tls": false, "check": {"body": "<version>9.9</version>\r\n<url>http://attacker.invalid/setup.exe</url>\r\n<price>0</price>\r\n<result>1</result>\r\n"}}'
settings "Server=127.0.0.1:18080"
launch
driver wait "$NOTICE" 20000 || fail "no notice for a plain answer"
texts=$(driver dump "$NOTICE" | cut -d'|' -f6 | tr '\n' ' ')
[[ "$texts" == *"Click to download Horvane 9.9"* ]] || fail "notice texts '$texts'"
sleep 0.5
# The link spans x 68 to 298 and y 22 to 64 of the borderless notice.
read -r left top _ < <(driver rect "$NOTICE" | tr ',' ' ')
[[ -n "$top" ]] || fail "the notice has no place"
xdotool mousemove $((left + 180)) $((top + 40)) click 1
wait_for 10000 test -s "$OPENED" || fail "the link opened nothing"
sleep 0.5
opened=$(tr -d '\r' <"$OPENED")
expect_eq "$opened" "https://127.0.0.1:18080" "what the link opened"
driver gone "$NOTICE" 5000 || fail "the notice stayed open after its link"
# HTTPS was refused, so the answer came over plain HTTP.
maker_requests /php/check2.php | grep -qF '"scheme": "http"' || fail "no plain check request"
echo "PASS"
