#!/usr/bin/env bash
# The program starts, shows its window with the computer time ticking, and
# Exit ends the process.
source "$(dirname "$0")/lib.sh"
begin
start_chronyd_123
settings "Server=127.0.0.1"
launch
[[ "$(driver visible "$TITLE")" == 1 ]] || fail "the main window is not visible"
first=$(text_at "${LABEL4_AT[@]}")
sleep 2.2
second=$(text_at "${LABEL4_AT[@]}")
[[ "$first" =~ ^[0-9]{2}/[0-9]{2}/[0-9]{4}\ [0-9]{2}:[0-9]{2}:[0-9]{2}$ ]] || fail "computer time '$first'"
[[ "$first" != "01/01/1990 00:00:00" && "$first" != "$second" ]] || fail "the computer time does not tick ($first, $second)"
expect_eq "$(text_at 194 94)" "GMT +0" "GMT offset of a UTC machine"
# The start-up press has fetched from chronyd by now.
[[ "$(text_at "${LABEL2_AT[@]}")" == "$(date -u +%d/%m/%Y) "* ]] || fail "server time after the start-up press: $(text_at "${LABEL2_AT[@]}")"
mkdir -p "$REPO/docs/screenshots"
screenshot "$REPO/docs/screenshots/main-window.png"
choose_menu 16 0  # File, Exit
wait_for 10000 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "Exit did not end the process"
APP_PID=""
echo "PASS"
