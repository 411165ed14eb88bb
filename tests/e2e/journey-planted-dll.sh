#!/usr/bin/env bash
# A winhttp.dll planted beside the portable program is never loaded: the
# program takes the system DLLs that are not KnownDLLs from System32 only,
# and its maker's-site fetch still works. Wine prefers its own DLLs, so
# WINEDLLOVERRIDES tells it to take one from the program's folder first, as
# Windows does; the Windows test program, which imports winhttp the usual
# way, shows that the plant would then be loaded without the protection.
# (Wine's own DLLs load bcrypt, version and uxtheme by name from the
# program's folder first, whatever the program asks: those can't be shown
# here.)
source "$(dirname "$0")/lib.sh"
source "$REPO/tests/fixtures/maker_tls.sh"
trap 'maker_site_down; cleanup' EXIT
begin
[[ -f "$BUILD/hvplant.dll" ]] || fail "no planted DLL in $BUILD"
python3 "$REPO/scripts/pe-info.py" dll-search "$APPDIR/horvane.exe" || fail "the program looks in its own folder"
export WINEDLLOVERRIDES="winhttp=n,b"
plant() { cp "$BUILD/hvplant.dll" "$1/winhttp.dll"; }

control="$APPDIR/control"
mkdir "$control"
cp "$BUILD/tests/horvane_wintests.exe" "$control/"
plant "$control"
(cd "$control" && timeout 30 wine64 "$control/horvane_wintests.exe" --gtest_list_tests >/dev/null 2>&1)
# The marker takes the name as imported, in its letter case.
loaded() { [[ -n "$(find "$1" -maxdepth 1 -iname "$2.dll.loaded")" ]]; }
loaded "$control" winhttp || fail "a program without the protection did not load the plant either"

plant "$APPDIR"
maker_site_up 18080 || fail "the maker site did not start"
settings "Server=127.0.0.1:18080"
launch
got_time() { maker_requests /php/horvane_serverdatetime.php | grep -q scheme; }
wait_for 15000 got_time || fail "the start-up fetch did not reach the maker's site"
sleep 1
loaded "$APPDIR" winhttp && fail "the program loaded the planted winhttp.dll"
echo "PASS"
