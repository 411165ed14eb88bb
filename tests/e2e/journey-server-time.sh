#!/usr/bin/env bash
# Against chronyd on 127.0.0.1:123, Get Server Time shows the server's time,
# and Sync records one clock write with the fetched value.
source "$(dirname "$0")/lib.sh"
begin
start_chronyd_123
settings "Server=127.0.0.1"
launch
sleep 2  # the start-up press fetches once; the box is unticked, so no sync
driver click "$TITLE" "Get Server Time" || fail "no Get Server Time button"
shown=$(text_at "${LABEL2_AT[@]}")
today=$(date -u +%d/%m/%Y)
[[ "$shown" == "$today "* ]] || fail "server time '$shown', expected today $today"
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/server-time.png"
# The pointer on the server time: its tooltip tells how good the answer was.
hover_client "$((LABEL2_AT[0] + 150))" "$((LABEL2_AT[1] + 10))"
sleep 2
screenshot "$REPO/docs/screenshots/server-time-tooltip.png"
hint=$(driver hints "$TITLE" | grep "^Offset ")
[[ "$hint" == *" · stratum "*" · 127.0.0.1" ]] || fail "tooltip '$hint'"
xdotool mousemove 0 0
expect_eq "$(clock_writes)" "0" "clock writes before Sync"
driver click "$TITLE" "Sync Computer Time" || fail "no Sync button"
wait_for 5000 bash -c "[[ -s '$CLOCK_LOG' ]]" || fail "Sync wrote nothing"
expect_eq "$(clock_writes)" "1" "clock writes after Sync"
written=$(date -u -d "$(cut -c1-19 "$CLOCK_LOG")" +%s)
((${written} - $(date -u +%s) < 3 && $(date -u +%s) - ${written} < 3)) || fail "wrote $(cat "$CLOCK_LOG"), now $(date -u)"
echo "PASS"
