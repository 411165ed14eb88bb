#!/usr/bin/env bash
# With the box ticked and a server 5 s ahead, the automatic check syncs
# within 10 s.
source "$(dirname "$0")/lib.sh"
begin
start_fixture_123 5
settings "Server=127.0.0.1"
launch
wait_for 5000 bash -c "[[ -s '$APPDIR/sntp-requests.log' ]]" || fail "no start-up fetch"
sleep 0.5
expect_eq "$(clock_writes)" "0" "clock writes of the start-up press with the box unticked"
driver click "$TITLE" "Automatically Synchronize" || fail "no Automatically Synchronize box"
wait_for 11000 bash -c "[[ -s '$CLOCK_LOG' ]]" || fail "no synchronisation within 10 s"
written=$(date -u -d "$(head -1 "$CLOCK_LOG" | cut -c1-19)" +%s)
ahead=$((written - $(date -u +%s)))
((ahead >= 3 && ahead <= 6)) || fail "wrote $(head -1 "$CLOCK_LOG"), $ahead s from now"
echo "PASS"
