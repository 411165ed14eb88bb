#!/usr/bin/env bash
# The About window animates (two screenshots a moment apart differ), and
# "License..." without license.txt shows the error box and keeps the window.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/menu.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
WINDOW="About Horvane"
begin
maker_site_up 18080 || fail "the maker site did not start"
settings "Server=127.0.0.1:18080"
rm -f "$APPDIR/license.txt"
launch
sleep 2
open_help_window "About" "$WINDOW" || fail "the About window did not open"
sleep 1
expect_eq "$(driver dump "$WINDOW" | awk -F'|' '$6=="Horvane 2.2"' | grep -c .)" "1" "the version line"
screenshot "$APPDIR/about-1.png"
sleep 0.4
screenshot "$APPDIR/about-2.png"
changed=$(compare -metric AE "$APPDIR/about-1.png" "$APPDIR/about-2.png" null: 2>&1 | cut -d' ' -f1)
((${changed%.*} > 50)) || fail "the About window does not animate ($changed pixels changed)"
cp "$APPDIR/about-2.png" "$REPO/docs/screenshots/about.png"

# Info opens its drop-down under the button; "License..." is its last item.
info_license() {
  click_child "$WINDOW" Button "Info" 48 42 || fail "no Info button"  # in Panel1
  sleep 0.7
  xdotool key Up Return
}
info_license
driver wait "License" 10000 || fail "no message for a missing license.txt"
driver dump "License" | grep -q '|File not found!$' || fail "message text: $(driver dump License)"
driver click "License" "OK"
sleep 0.5
window_visible "$WINDOW" || fail "the About window closed after the message"

# With the file, the editor opens beside the About window.
cp "$REPO/license.txt" "$APPDIR/license.txt"
info_license
wait_for 15000 bash -c "wine64 '$APPDIR/hvdriver.exe' wait 'license.txt - Notepad' 100 >/dev/null 2>&1 || wine64 '$APPDIR/hvdriver.exe' wait 'license - Notepad' 100 >/dev/null 2>&1" ||
  fail "notepad did not open license.txt"
window_visible "$WINDOW" || fail "the About window closed when the editor opened"
echo "PASS"
