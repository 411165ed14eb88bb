#!/usr/bin/env bash
# Started from a folder whose name cmd could read as a command once written in
# the OEM code page (U+FF06 would turn into "&"), the language window stores
# the new language but does not restart: one box says so, no start.bat is
# written, and the program keeps running.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menu.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
begin_with_maker_site
folder="$APPDIR/x$(printf '\xef\xbc\x86')calc"
mkdir "$folder"
mv "$APPDIR"/horvane.exe "$APPDIR"/hvdriver.exe "$APPDIR"/Languages "$folder/"
APPDIR="$folder"
settings "Server=127.0.0.1:18080" "LanguageFile="
script="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/CALVION/Horvane/start.bat"
rm -f "$script"
launch
sleep 2

open_help_window "Language..." Language || fail "the language window did not open"
choose_language G German || fail "German was not selected: $(driver dump Language)"
(driver click "Language" "OK" >/dev/null 2>&1 &)
driver wait "Confirmation" 10000 || fail "no confirmation question"
driver click "Confirmation" "Yes" || fail "no Yes button"
driver wait "Horvane" 10000 || fail "no box about the restart"
sleep 0.5
box=$(driver dump "Horvane" | tr '\n' ' ')
[[ "$box" == *"cannot restart itself from this folder"* ]] || fail "box says: $box"
screenshot "$REPO/docs/screenshots/language-no-restart.png"
app_running || fail "the program ended"
tr -d '\r' <"$APPDIR/settings.ini" | grep -qx 'LanguageFile=German.lang.txt' ||
  fail "LanguageFile not stored: $(cat "$APPDIR/settings.ini")"
[[ -f "$script" ]] && fail "start.bat was written"
echo "PASS"
