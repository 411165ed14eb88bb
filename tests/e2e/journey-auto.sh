#!/usr/bin/env bash
# "/auto" starts with no visible main window, and the program keeps running.
source "$(dirname "$0")/lib.sh"
begin
launch /auto
sleep 1.5
expect_eq "$(driver visible "$TITLE")" "0" "main window visibility"
app_running || fail "the program ended"
# Any other spelling starts visible.
kill "$APP_PID"; wineserver -k 2>/dev/null; APP_PID=""
launch /AUTO
sleep 1.5
expect_eq "$(driver visible "$TITLE")" "1" "main window visibility with /AUTO"
echo "PASS"
