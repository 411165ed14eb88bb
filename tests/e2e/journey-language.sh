#!/usr/bin/env bash
# Choosing German in the language window and confirming stores
# "German.lang.txt", writes start.bat into the roaming folder and ends the
# program; the script, run hidden by System32's cmd, starts it again in German.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menu.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
# The maker's host answers the start-up fetch, so no error box gets in the way.
begin_with_maker_site
settings "Server=127.0.0.1:18080" "LanguageFile="
roaming="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming"
script="$roaming/CALVION/Horvane/start.bat"
rm -f "$script"
launch
sleep 2
expect_eq "$(text_at 8 163)" "Get Server Time" "English at the first start"

open_help_window "Language..." Language || fail "the language window did not open"
expect_eq "$(child_text Language ComboBox)" "English" "selection at opening"
expect_eq "$(child_text Language Edit)" "Calvion" "translators of English"
screenshot "$REPO/docs/screenshots/language.png"

choose_language G German || fail "German was not selected: $(driver dump Language)"
expect_eq "$(child_text Language Edit)" "Calvion" "translators of German"

# OK with a changed selection asks first; No keeps everything as it was.
window_visible "Confirmation" && fail "a question before OK was pressed"
(driver click "Language" "OK" >/dev/null 2>&1 &)
driver wait "Confirmation" 10000 || fail "no confirmation question"
driver dump "Confirmation" | grep -q '|Restart Application?$' || fail "question text: $(driver dump Confirmation)"
driver click "Confirmation" "No" || fail "no No button"
sleep 1
app_running || fail "No ended the program"
grep -q 'LanguageFile=German' "$APPDIR/settings.ini" && fail "No stored the language"
[[ -f "$script" ]] && fail "No wrote the restart script"

(driver click "Language" "OK" >/dev/null 2>&1 &)
driver wait "Confirmation" 10000 || fail "no confirmation question the second time"
driver click "Confirmation" "Yes" || fail "no Yes button"
wait_for 15000 bash -c "! kill -0 $APP_PID 2>/dev/null" || fail "the program did not end after Yes"
APP_PID=""
tr -d '\r' <"$APPDIR/settings.ini" | grep -qx 'LanguageFile=German.lang.txt' ||
  fail "LanguageFile not stored: $(cat "$APPDIR/settings.ini")"

[[ -f "$script" ]] || fail "no start.bat in $roaming/CALVION/Horvane"
exe=$(cd "$APPDIR" && wine64 winepath -w "$APPDIR/horvane.exe" 2>/dev/null | tr -d '\r')
# System32's ping by its full path; cmd.exe from there runs the script.
system=$(wine64 cmd /c echo %SystemRoot%\\system32 2>/dev/null | tr -d '\r')
expected=$(printf '@ECHO OFF\r\n"%s\\PING.EXE" 192.0.2.2 -n 1 -w 1000 > nul\r\n"%s"\r\n' "$system" "$exe")
[[ "$(cat "$script")" == "$expected" ]] ||
  fail "start.bat differs: $(od -c "$script" | head -20)"

# The script pauses about a second and starts the program again.
if driver wait "$TITLE" 30000; then
  sleep 2
  expect_eq "$(text_at 8 163)" "Serverzeit abrufen" "German after the restart"
  screenshot "$APPDIR/restarted-de.png"
  echo "restarted in German"
else
  fail "the program did not come back after the restart script"
fi
rm -f "$script"
echo "PASS"
