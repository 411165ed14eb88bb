#!/usr/bin/env bash
# A stored server text and automatic synchronisation are restored.
source "$(dirname "$0")/lib.sh"
begin
settings "Server=localhost" "AutomaticallySynchronize=ON" "Daylight=0"
launch
expect_eq "$(text_at 194 8)" "localhost" "server box"
line=$(driver dump "$TITLE" | grep '|Automatically Synchronize$')
[[ "$(echo "$line" | cut -d'|' -f5)" == 1 ]] || fail "Automatically Synchronize is not ticked: $line"
line=$(driver dump "$TITLE" | grep '|Daylight Saving:$')
[[ "$(echo "$line" | cut -d'|' -f5)" == 0 ]] || fail "Daylight Saving is ticked: $line"
echo "PASS"
