#!/usr/bin/env bash
# A server 20 days ahead. The start-up press's synchronisation and the
# automatic turns show its time but write nothing, and one box says why;
# Sync Computer Time asks first, writes nothing after No and the server's
# time after Yes.
source "$(dirname "$0")/lib.sh"
AHEAD=$((20 * 86400))
BOX="Automatically Synchronize"
begin
start_fixture_123 "$AHEAD"
settings "Server=127.0.0.1" "AutomaticallySynchronize=ON"
launch
log_file="$APPDIR/sntp-requests.log"
driver wait "$BOX" 15000 || fail "no box about the withheld step"
sleep 0.5
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/clock-step-withheld.png"
expect_eq "$(clock_writes)" "0" "clock writes of the start-up press"
shown=$(text_at "${LABEL2_AT[@]}")
expect_eq "${shown:0:10}" "$(date -u -d "@$(($(date +%s) + AHEAD))" +%d/%m/%Y)" "the server's date shown"
driver close "$BOX" && driver gone "$BOX" 5000 || fail "the box did not close"

# The automatic turns go on, backed off, quietly and without a write.
before=$(grep -c . "$log_file")
end=$(($(date +%s) + 32))
while (($(date +%s) < end)); do
  driver visible "$BOX" >/dev/null 2>&1 && fail "a second box about the step"
  driver visible ERROR >/dev/null 2>&1 && fail "an ERROR box"
  sleep 1
done
(($(grep -c . "$log_file") > before)) || fail "no automatic turn after the box"
expect_eq "$(clock_writes)" "0" "clock writes of the automatic turns"

# By hand: untick the box first, so no automatic turn takes the slot.
driver click "$TITLE" "$BOX" || fail "no Automatically Synchronize box"
sleep 0.5
for answer in No Yes; do
  driver click "$TITLE" "Sync Computer Time" || fail "no Sync Computer Time button"
  driver wait Confirmation 10000 || fail "no question before the step"
  sleep 0.5
  if [[ $answer == No ]]; then
    screenshot "$REPO/docs/screenshots/clock-step-question.png"
    driver dump Confirmation | grep -q "20 days ahead" || fail "the question names no step: $(driver dump Confirmation)"
  fi
  driver click Confirmation "$answer" || fail "no $answer button"
  driver gone Confirmation 5000 || fail "the question did not close"
  sleep 0.5
done
expect_eq "$(clock_writes)" "1" "clock writes after No, then Yes"
written=$(date -u -d "$(head -1 "$CLOCK_LOG" | cut -c1-19)" +%s)
ahead=$((written - $(date -u +%s)))
((ahead >= AHEAD - 5 && ahead <= AHEAD + 5)) || fail "wrote $(head -1 "$CLOCK_LOG"), $ahead s from now"
echo "PASS"
