#!/usr/bin/env bash
# Ctrl+Alt+T fetches, fetches again and sets the clock once.
source "$(dirname "$0")/lib.sh"
begin
start_fixture_123 0
settings "Server=127.0.0.1"
launch
wait_for 5000 bash -c "[[ -s '$APPDIR/sntp-requests.log' ]]" || fail "no start-up fetch"
before=$(grep -c . "$APPDIR/sntp-requests.log")
xdotool key ctrl+alt+t
wait_for 8000 bash -c "[[ -s '$CLOCK_LOG' ]]" || fail "the hotkey set no clock"
sleep 0.5
expect_eq "$(clock_writes)" "1" "clock writes"
expect_eq "$(($(grep -c . "$APPDIR/sntp-requests.log") - before))" "2" "queries of one hotkey press"
echo "PASS"
