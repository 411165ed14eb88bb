#!/usr/bin/env bash
# Feedback reaches the loopback maker site over HTTPS with the exact form
# body; an invalid address shows "Invalid e-mail address!" and sends nothing.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menu.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
WINDOW="Horvane feedback"
begin
maker_site_up 18080 || fail "the maker site did not start"
settings "Server=127.0.0.1:18080"
launch
sleep 2
feedback_requests() { maker_requests /php/feedback.php | grep -c . || true; }

open_feedback() {
  open_help_window "Send Feedback..." "$WINDOW" || fail "the feedback window did not open"
  sleep 0.5
}
# type_into CLASS INDEX TEXT: the INDEX-th (from 1) child of that class.
type_into() {
  local x y cx cy cw ch
  read -r x y <<<"$(client_origin "$WINDOW")"
  read -r cx cy cw ch <<<"$(driver dump "$WINDOW" | awk -F'|' -v c="$1" -v n="$2" \
    '$1==c && ++k==n {split($2,r,","); print r[1], r[2], r[3], r[4]; exit}')"
  xdotool mousemove $((x + cx + cw / 2)) $((y + cy + ch / 2)) click 1
  sleep 0.2
  xdotool type --delay 20 "$3"
}

# An invalid address stops the send before anything leaves.
open_feedback
type_into Edit 1 "Too slow on Mondays"
type_into Edit 2 "me@localhost"
(driver click "$WINDOW" "Send" >/dev/null 2>&1 &)
driver wait "Failure" 10000 || fail "no failure message for an invalid address"
driver dump "Failure" | grep -q '|Invalid e-mail address!$' || fail "failure text: $(driver dump Failure)"
driver click "Failure" "OK"
sleep 0.5
expect_eq "$(feedback_requests)" "0" "requests after an invalid address"
window_visible "$WINDOW" || fail "the feedback window closed after an invalid address"
expect_eq "$(child_text "$WINDOW" Edit)" "Too slow on Mondays" "the typed text is kept"

# Escape in the text box closes the window.
type_into Edit 1 ""
xdotool key Escape
wait_for 5000 bash -c "[[ \"\$(wine64 '$APPDIR/hvdriver.exe' visible '$WINDOW' 2>/dev/null | tr -d '\r')\" != 1 ]]" ||
  fail "Escape did not close the feedback window"

# A liked, valid send arrives and the window closes.
open_feedback
expect_eq "$(child_text "$WINDOW" Edit)" "" "a new window starts empty"
click_child "$WINDOW" Static "I like it!" || fail "no like panel"
type_into Edit 1 "Great tool"
type_into Edit 2 "  me@example.com "
screenshot "$REPO/docs/screenshots/feedback.png"
(driver click "$WINDOW" "Send" >/dev/null 2>&1 &)
driver wait "Success" 15000 || fail "no success message: $(cat "$MAKER_SITE/requests.log")"
driver dump "Success" | grep -q '|Your feedback is received.' || fail "success text: $(driver dump Success)"
driver click "Success" "OK"
wait_for 5000 bash -c "[[ \"\$(wine64 '$APPDIR/hvdriver.exe' visible '$WINDOW' 2>/dev/null | tr -d '\r')\" != 1 ]]" ||
  fail "the feedback window stayed open after success"
expect_eq "$(feedback_requests)" "1" "requests after one send"
request=$(maker_requests /php/feedback.php)
echo "$request" | grep -q '"scheme": "https"' || fail "not over HTTPS: $request"
body=$(echo "$request" | python3 -c 'import json,sys; print(json.loads(sys.stdin.readline())["body"])')
expect_eq "$body" "cmd=feedback&appname=CALVION+-+Horvane&version=2.2&feedback=I+like+it%21%0DGreat+tool&email=me%40example.com" "the form body"
echo "PASS"
