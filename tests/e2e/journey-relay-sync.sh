#!/usr/bin/env bash
# Through a path of 150 ms each way to chronyd, Sync writes the clock within
# 5 ms of the real clock at the moment of the write. chronyd serves the host's
# clock, and the recording clock notes that clock beside each value it is
# given, so the difference of the two is how wrong the written clock would be.
source "$(dirname "$0")/lib.sh"
# Local time is UTC for Wine and for date(1) alike, whatever the host's zone.
export TZ=UTC
begin
start_relayed_chronyd_123 150 150
settings "Server=127.0.0.1"
launch
sleep 2  # the start-up press fetches once; the box is unticked, so no sync
driver click "$TITLE" "Get Server Time" || fail "no Get Server Time button"
driver click "$TITLE" "Sync Computer Time" || fail "no Sync button"
wait_for 5000 bash -c "[[ -s '$CLOCK_LOG' ]]" || fail "Sync wrote nothing"
expect_eq "$(clock_writes)" "1" "clock writes after Sync"
line=$(head -1 "$CLOCK_LOG" | tr -d '\r')
[[ "$line" == *" at "* ]] || fail "no real clock beside the written value: '$line'"
written_us=$(date -d "${line%% at *}" +%s%6N) || fail "unreadable value: '$line'"
real_us=$(date -d "${line#* at }" +%s%6N) || fail "unreadable real clock: '$line'"
error_us=$((written_us - real_us))
echo "written ${line%% at *}, real clock then ${line#* at }: $error_us us"
((error_us >= -5000 && error_us <= 5000)) || fail "the written clock is $error_us us off the real clock (at most 5000 us)"
echo "PASS"
