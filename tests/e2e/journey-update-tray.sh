#!/usr/bin/env bash
# Once the update check has finished, the tray's "Update Notifications" item
# shows the stored choice: ticked for "ShowUpdate" 1, unticked for 0. Wine
# keeps menus inside their process, so the journey opens the tray menu as a
# user does and compares what it shows in the two cases.
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
STORE='HKCU\Software\CALVION\Horvane\Settings'
trap 'maker_site_down; cleanup' EXIT
begin
maker_site_up 18080 || fail "the maker site did not start"
# The installed version: no notice opens over the menu.
maker_config '{"check": {"body": "<version>2.2</version>\r\n<url>https://127.0.0.1:18080/download</url>\r\n<price>0</price>\r\n<result>1</result>\r\n"}}'
settings "Server=127.0.0.1:18080"

# tray_menu SHOWUPDATE PNG: the tray menu of a run with that stored choice.
tray_menu() {
  local before
  wine reg delete 'HKCU\Software\CALVION\Horvane' /f >/dev/null 2>&1
  # A busy machine can make a first reg call fail while Wine starts up.
  wait_for 20000 wine reg add "$STORE" /v ShowUpdate /t REG_SZ /d "$1" /f >/dev/null 2>&1 ||
    fail "could not store ShowUpdate"
  before=$(grep -sc check2.php "$MAKER_SITE/requests.log")
  launch
  wait_for 10000 bash -c "n=\$(grep -sc check2.php '$MAKER_SITE/requests.log'); (( \${n:-0} > ${before:-0} ))" ||
    fail "no check request"
  sleep 2.5  # the main window takes the check's results on its next second
  # The notification-area icon sits at the right end of the desktop's taskbar.
  xdotool mousemove 1268 790 click 3
  sleep 0.8
  import -window root -crop 260x280+1020+520 "$2"
  xdotool key Escape
  kill "$APP_PID" 2>/dev/null
  wineserver -k 2>/dev/null
  APP_PID=""
  sleep 1
}
tray_menu 1 "$APPDIR/tray-on.png"
tray_menu 0 "$APPDIR/tray-off.png"
differing=$(compare -metric AE "$APPDIR/tray-on.png" "$APPDIR/tray-off.png" null: 2>&1)
[[ "$differing" =~ ^[0-9]+$ ]] || fail "could not compare the menus: $differing"
# The tick alone is a few dozen pixels.
((differing > 5)) || fail "the tray menu looks the same for ShowUpdate 1 and 0 ($differing pixels differ)"
mkdir -p "$REPO/docs/screenshots"
cp "$APPDIR/tray-off.png" "$REPO/docs/screenshots/tray-menu-update-off.png"
echo "PASS"
