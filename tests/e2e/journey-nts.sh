#!/usr/bin/env bash
# nts://127.0.0.1:PORT against chronyd's NTS server, whose certificate comes
# from a CA made for the run and put among the prefix's roots for it: Get
# Server Time shows the time, the tooltip says the answer was authenticated,
# and Sync records one clock write of that time. A server whose certificate
# comes from a CA nobody trusts ends in "Server Error!", the tooltip says
# why, and nothing is written.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/nts_server.sh"
trap 'nts_servers_stop; cleanup' EXIT
begin
nts_pki_make "$APPDIR/pki" || fail "no test certificates"
nts_server_start "$APPDIR/pki" leaf >/dev/null || fail "chronyd with NTS did not start"
root_ca_run "$APPDIR/pki/ca.pem" || fail "the run's CA cannot join the prefix's roots"
LAUNCH_THROUGH=("${ROOT_CA_RUN[@]}")
settings "Server=nts://127.0.0.1:${NTS_KE_PORT[leaf]}"
launch
sleep 2  # the start-up press fetches once; the box is unticked, so no sync
driver click "$TITLE" "Get Server Time" || fail "no Get Server Time button"
sleep 1
close_error_box && fail "an error box: $(cat "$APPDIR/pki/leaf.log")"
shown=$(text_at "${LABEL2_AT[@]}")
today=$(date -u +%d/%m/%Y)
[[ "$shown" == "$today "* ]] || fail "server time '$shown', expected today $today"
hint=$(driver hints "$TITLE" | grep "^Offset ")
[[ "$hint" == *" · 127.0.0.1 · authenticated (NTS)" ]] || fail "tooltip '$hint'"
hover_client "$((LABEL2_AT[0] + 150))" "$((LABEL2_AT[1] + 10))"
sleep 2
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/nts-tooltip.png"
xdotool mousemove 0 0
driver click "$TITLE" "Sync Computer Time" || fail "no Sync button"
wait_for 5000 bash -c "[[ -s '$CLOCK_LOG' ]]" || fail "Sync wrote nothing"
expect_eq "$(clock_writes)" "1" "clock writes after Sync"
written=$(date -u -d "$(cut -c1-19 "$CLOCK_LOG")" +%s)
((${written} - $(date -u +%s) < 3 && $(date -u +%s) - ${written} < 3)) || fail "wrote $(cat "$CLOCK_LOG"), now $(date -u)"

kill "$APP_PID" 2>/dev/null
wait "$APP_PID" 2>/dev/null
nts_server_start "$APPDIR/pki" stranger >/dev/null || fail "the second chronyd did not start"
settings "Server=nts://127.0.0.1:${NTS_KE_PORT[stranger]}"
# Each prefix command serves one start.
root_ca_run "$APPDIR/pki/ca.pem" || fail "the run's CA cannot join the prefix's roots"
LAUNCH_THROUGH=("${ROOT_CA_RUN[@]}")
launch
# The start-up press asks once and reports as a click would.
wait_for 10000 driver visible ERROR >/dev/null || fail "no box for the untrusted server"
close_error_box || fail "the box did not close"
hint=$(driver hints "$TITLE" | grep "^NTS ")
expect_eq "$hint" "NTS failed: certificate not trusted" "tooltip"
hover_client "$((LABEL2_AT[0] + 150))" "$((LABEL2_AT[1] + 10))"
sleep 2
screenshot "$REPO/docs/screenshots/nts-untrusted-tooltip.png"
expect_eq "$(clock_writes)" "1" "clock writes after the untrusted server"
echo "PASS"
