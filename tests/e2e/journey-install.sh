#!/usr/bin/env bash
# What a Windows user downloads: the portable zip runs from its own folder; the
# installer puts an older version in Program Files silently, the program starts
# from there, an upgrade keeps settings.ini and the update store, and an
# uninstall leaves no file, shortcut, task or registry entry of ours.
#
# The shipped program talks to the maker's real host and really sets the
# clock, so the journey runs in a network namespace of its own (loopback
# only) and without the right to set the clock.
if [[ -z "${HORVANE_ISOLATED:-}" ]]; then
  HORVANE_ISOLATED=1 exec unshare -n setpriv --bounding-set=-sys_time --inh-caps=-sys_time \
    bash -c 'ip link set lo up && exec bash "$@"' _ "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

VERSION=$(python3 "$REPO/scripts/pe-info.py" version "$REPO/build/release/horvane.exe") ||
  fail "no release build: run scripts/package"
MSI="$REPO/dist/horvane-$VERSION.msi"
ZIP="$REPO/dist/horvane-$VERSION-portable.zip"
[[ -f "$MSI" && -f "$ZIP" && -d "$REPO/build/package/Horvane" ]] || fail "no package of $VERSION: run scripts/package"

# A private copy of the project's prefix, so the installs touch nothing else.
ensure_wine_prefix
PREFIX=$(mktemp -d /tmp/horvane-install-prefix.XXXXXX)
WORK=$(mktemp -d /tmp/horvane-install.XXXXXX)
cp -a "$WINEPREFIX/." "$PREFIX/"
export WINEPREFIX="$PREFIX"
trap 'cleanup; rm -rf "$PREFIX" "$WORK"' EXIT
begin
start_chronyd_123

PF="$WINEPREFIX/drive_c/Program Files/Horvane"
TASK="$WINEPREFIX/drive_c/windows/system32/tasks/Horvane"
STORE='HKCU\Software\CALVION\Horvane\Settings'
german() { grep -a "^{$1}" "$REPO/Languages/German.lang.txt" | head -1 | sed "s/^{$1}//" | tr -d '\r'; }

msi() { wine msiexec "$@" /qn >"$WORK/msiexec.log" 2>&1; }

run_from() {
  (cd "$(dirname "$1")" && exec wine64 "$1") >"$WORK/wine.log" 2>&1 &
  APP_PID=$!
  driver wait "$TITLE" 30000 || fail "the main window did not appear from $1"
  [[ "$(driver visible "$TITLE")" == 1 ]] || fail "the main window from $1 is not visible"
}

stop_app() {
  kill "$APP_PID" 2>/dev/null
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  APP_PID=""
}

# "version" lines of the installed products named Horvane.
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ {name = ""; version = ""} $1 == "DisplayName" {name = $3}
         $1 == "DisplayVersion" {version = $3} name == "Horvane" && version != "" {print version; name = ""}'
}

shortcut() { find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Horvane.lnk' 2>/dev/null; }

store() { wine reg query "$STORE" 2>/dev/null | tr -d '\r' | grep REG_ | sort; }

# --- the portable zip runs where it is unpacked, settings next to it ---
python3 -m zipfile -e "$ZIP" "$WORK/portable" || fail "the zip does not unpack"
expected=$(cd "$REPO" && { printf '%s\n' Horvane/horvane.exe Horvane/license.txt Horvane/README.txt; ls Languages | sed 's|^|Horvane/Languages/|'; } | sort)
actual=$(cd "$WORK/portable" && find . -type f | sed 's|^\./||' | sort)
expect_eq "$actual" "$expected" "files of the portable zip"
printf '[Settings]\r\nServer=127.0.0.1\r\nLanguageFile=German.lang.txt\r\n' >"$WORK/portable/Horvane/settings.ini"
run_from "$(winepath -w "$WORK/portable/Horvane/horvane.exe")"
expect_eq "$(text_at 8 163)" "$(german 'Get Server Time')" "portable copy's language from the settings next to it"
stop_app

# --- a silent install of an older version, with "Start with Windows" ---
IFS=. read -r major minor patch _ <<<"$VERSION"
if ((patch > 0)); then OLD="$major.$minor.$((patch - 1)).0"
elif ((minor > 0)); then OLD="$major.$((minor - 1)).0.0"
else OLD="$((major - 1)).0.0.0"; fi
cp -r "$REPO/build/package" "$WORK/old"
echo "the older version's licence" >>"$WORK/old/Horvane/license.txt"
(cd "$WORK/old" && wixl -a x64 -o "$WORK/horvane-$OLD.msi" -D Version="$OLD" -D Win64=yes -D ProgramDir=Horvane \
  -D TaskXml=start-with-windows.xml -D ProductCode="{$(python3 -c 'import uuid; print(str(uuid.uuid4()).upper())')}" \
  "$REPO/installer/horvane.wxs" languages.wxs 2>/dev/null) || fail "could not build $OLD"
msi /i "$(winepath -w "$WORK/horvane-$OLD.msi")" STARTWITHWINDOWS=1 || fail "silent install of $OLD: $(cat "$WORK/msiexec.log")"
for f in horvane.exe license.txt start-with-windows.xml $(ls "$REPO/Languages" | sed 's|^|Languages/|'); do
  [[ -f "$PF/$f" ]] || fail "$f is not in Program Files after the install"
done
expect_eq "$(installed_versions)" "$OLD" "installed products"
[[ -n "$(shortcut)" ]] || fail "no Start-menu shortcut"
[[ -f "$TASK" ]] || fail "no sign-in task registered"

# Wine keeps a registered task's settings but drops its trigger, principal and
# action, so what Windows would run is checked in the definition the installer
# registers.
python3 - "$PF/start-with-windows.xml" "$TASK" <<'PY' || fail "the sign-in task's definition"
import sys, xml.etree.ElementTree as ET
ns = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}
task = ET.fromstring(open(sys.argv[1], "rb").read().decode("utf-16"))
text = lambda path: (task.findtext(path, namespaces=ns) or "").strip()
principal = task.find("t:Principals/t:Principal", ns)
checks = [
    ("a sign-in trigger for every user", task.find("t:Triggers/t:LogonTrigger", ns) is not None
     and task.find("t:Triggers/t:LogonTrigger/t:UserId", ns) is None),
    ("the signed-in member of Users", text("t:Principals/t:Principal/t:GroupId") == "S-1-5-32-545"),
    ("highest privileges", text("t:Principals/t:Principal/t:RunLevel") == "HighestAvailable"),
    ("actions run as that principal", task.find("t:Actions", ns).get("Context") == principal.get("id")),
    ("the installed program",
     text("t:Actions/t:Exec/t:Command").strip('"').replace("%ProgramFiles%", r"C:\Program Files")
     == r"C:\Program Files\Horvane\horvane.exe"),
    ("started with /auto", text("t:Actions/t:Exec/t:Arguments") == "/auto"),
    ("no time limit", text("t:Settings/t:ExecutionTimeLimit") == "PT0S"),
    ("starts on battery", text("t:Settings/t:DisallowStartIfOnBatteries") == "false"),
    ("keeps running on battery", text("t:Settings/t:StopIfGoingOnBatteries") == "false"),
]
registered = open(sys.argv[2], "rb").read().decode("utf-8-sig", "replace")
checks.append(("registered from this definition", "<ExecutionTimeLimit>PT0S<" in registered
               and "<Priority>5<" in registered))
bad = [name for name, ok in checks if not ok]
print("\n".join("wrong: " + name for name in bad))
sys.exit(1 if bad else 0)
PY

# --- the program starts from Program Files; the user's settings ---
printf '[Settings]\r\nServer=127.0.0.1\r\nLanguageFile=German.lang.txt\r\n' >"$PF/settings.ini"
wine reg add "$STORE" /v ShowUpdate /t REG_SZ /d 0 /f >/dev/null 2>&1 || fail "could not store ShowUpdate"
run_from 'C:\Program Files\Horvane\horvane.exe'
expect_eq "$(text_at 8 163)" "$(german 'Get Server Time')" "language from Program Files\\Horvane\\settings.ini"
# The update check counts the start in the store.
wait_for 10000 bash -c "wine reg query '$STORE' /v HowMany >/dev/null 2>&1" || fail "the program kept no update store"
stop_app
settings_before=$(md5sum <"$PF/settings.ini")
store_before=$(store)

# --- the upgrade keeps settings.ini, the store and the sign-in choice ---
msi /i "$(winepath -w "$MSI")" || fail "silent upgrade to $VERSION: $(cat "$WORK/msiexec.log")"
expect_eq "$(installed_versions)" "$VERSION" "installed products after the upgrade"
cmp -s "$PF/license.txt" "$REPO/license.txt" || fail "the upgrade left the older version's files"
expect_eq "$(md5sum <"$PF/settings.ini")" "$settings_before" "settings.ini after the upgrade"
expect_eq "$(store)" "$store_before" "update store after the upgrade"
[[ -f "$TASK" ]] || fail "the upgrade dropped the sign-in task"
# Apps & features shows what the package's Property table says.
code=$(msiinfo export "$MSI" Property | tr -d '\r' | awk -F'\t' '$1 == "ProductCode" {print $2}')
entry=$(wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$code" 2>/dev/null | tr -d '\r')
arp() { awk -v k="$1" '$1 == k {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit}' <<<"$entry"; }
for pair in "Publisher=CALVION" "DisplayVersion=$VERSION" "NoModify=0x1" \
  "HelpLink=http://www.calvion.com/help/horvane/" "URLInfoAbout=http://www.calvion.com/" \
  "URLUpdateInfo=https://www.calvion.com"; do
  expect_eq "$(arp "${pair%%=*}")" "${pair#*=}" "Apps & features ${pair%%=*}"
done
# The installer keeps the icon with the product's registration, not in the
# Uninstall key.
icon=$(wine reg query 'HKLM\Software\Classes\Installer\Products' /s 2>/dev/null | tr -d '\r' |
  awk '$1 == "ProductIcon" {sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit}')
[[ "$icon" == *horvane.ico && -s "$(winepath -u "$icon" 2>/dev/null)" ]] || fail "Apps & features has no icon file: '$icon'"
run_from 'C:\Program Files\Horvane\horvane.exe'
expect_eq "$(text_at 8 163)" "$(german 'Get Server Time')" "language after the upgrade"
stop_app
store_before=$(store)

# --- the uninstall leaves only the user's settings ---
msi /x "$(winepath -w "$MSI")" || fail "silent uninstall: $(cat "$WORK/msiexec.log")"
expect_eq "$(cd "$PF" 2>/dev/null && find . -mindepth 1 | sort)" "./settings.ini" "Program Files\\Horvane after the uninstall"
expect_eq "$(installed_versions)" "" "installed products after the uninstall"
[[ -z "$(shortcut)" ]] || fail "the shortcut stayed: $(shortcut)"
[[ ! -e "$TASK" ]] || fail "the sign-in task stayed"
! wine reg query 'HKLM\Software\CALVION\Horvane' >/dev/null 2>&1 || fail "the installer's registry key stayed"
expect_eq "$(store)" "$store_before" "update store after the uninstall"

# --- "Start with Windows" is off unless asked for ---
msi /i "$(winepath -w "$MSI")" || fail "silent install without options"
[[ -f "$PF/horvane.exe" && ! -e "$TASK" ]] || fail "a plain install registered the sign-in task"
msi /x "$(winepath -w "$MSI")" || fail "second uninstall"
echo "PASS"
