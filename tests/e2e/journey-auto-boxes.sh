#!/usr/bin/env bash
# "/auto" with the daylight box ticked and nothing answering on port 123:
# the ERROR boxes of the creation fetch and of the start-up press open and
# are closed, and the main window stays hidden all along.
source "$(dirname "$0")/lib.sh"
begin
settings "Server=127.0.0.1" "Daylight=1"
launch /auto
for box in creation start-up; do
  driver wait ERROR 15000 || fail "no ERROR box of the $box fetch"
  expect_eq "$(driver visible "$TITLE")" "0" "main window visibility with the $box box open"
  close_error_box || fail "the $box box did not close"
done
sleep 2
expect_eq "$(driver visible "$TITLE")" "0" "main window visibility after the boxes"
app_running || fail "the program ended"
echo "PASS"
