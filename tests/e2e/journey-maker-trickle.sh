#!/usr/bin/env bash
# A maker host that trickles its date-time answer in, a byte every half
# second, and never ends it. Each attempt ends at its 3 s deadline: after a
# click on Get Server Time the window answers again, with the button enabled,
# within the two attempts and a second. The start-up press's fetch frees the
# button as soon, and Exit during that fetch does not wait longer either.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
BOUND_MS=7000

now_ms() { date +%s%3N; }
# The Get Server Time button's enabled flag, 1 or 0, as the driver reads it.
fetch_enabled() { driver dump "$TITLE" | awk -F'|' '$6 == "Get Server Time" {print $4; exit}'; }
fetch_is() { [[ "$(fetch_enabled)" == "$1" ]]; }

begin
maker_site_up 18080 || fail "the maker site did not start"
maker_config '{"datetime": {"hostile": "body", "interval": 0.5}}'
settings "Server=127.0.0.1:18080"

launch
wait_for 5000 fetch_is 0 || fail "the start-up press did not start its fetch"
start=$(now_ms)
wait_for $BOUND_MS fetch_is 1 || fail "Get Server Time stayed disabled after the start-up press"
echo "the start-up press ended after $(($(now_ms) - start)) ms"
before=$(text_at "${LABEL2_AT[@]}")

start=$(now_ms)
driver click "$TITLE" "Get Server Time" || fail "no Get Server Time button"
driver wait "Horvane" $BOUND_MS || fail "no error report within $BOUND_MS ms of the click"
waited=$(($(now_ms) - start))
echo "the window answered after $waited ms"
report=$(driver dump "Horvane" | cut -d'|' -f6 | tr '\n' ' ')
[[ "$report" == *"timed out"* ]] || fail "error report says '$report'"
expect_eq "$(fetch_enabled)" 1 "Get Server Time enabled behind the report"
screenshot "$APPDIR/trickle.png"
driver click "Horvane" "OK" || fail "no OK in the error report"
driver gone "Horvane" 5000 || fail "the error report stayed"
expect_eq "$(text_at "${LABEL2_AT[@]}")" "$before" "server time after the failures"
n=$(maker_requests /php/horvane_serverdatetime.php | grep -c '"scheme": "http"')
((n == 2)) || fail "expected two plain attempts, the press's and the click's; saw $n"

# Exit while the start-up press's fetch trickles.
driver close "$TITLE"
wait_for 5000 eval '! app_running' || fail "the program did not end"
launch
wait_for 5000 fetch_is 0 || fail "the second start-up press did not start its fetch"
start=$(now_ms)
driver close "$TITLE"
wait_for $BOUND_MS eval '! app_running' || fail "Exit waited on the fetch for more than $BOUND_MS ms"
echo "Exit ended the program after $(($(now_ms) - start)) ms"
echo "PASS"
