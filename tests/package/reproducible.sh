#!/usr/bin/env bash
# A fresh clone in another folder packages on its own (scripts/package alone,
# no build folder before it), and gives the same horvane.exe, zip and MSI as
# this checkout's last scripts/package: unsigned, the release is the same
# file wherever its commit is built. Changes not yet committed go along.
# The clone sits under build/, so ccache (with its base_dir above the checkout)
# and the PCRE2 cache serve both.
set -uo pipefail
REPO="$(cd "$(dirname "$0")/../.." && pwd)"
fail() { echo "FAIL: $*"; exit 1; }
version=$(python3 "$REPO/scripts/pe-info.py" version "$REPO/build/release/horvane.exe") ||
  fail "no release build here: run scripts/package first"
[[ -f "$REPO/dist/horvane-$version.msi" ]] || fail "no dist/horvane-$version.msi: run scripts/package first"

mkdir -p "$REPO/build"
WORK=$(mktemp -d "$REPO/build/fresh-clone.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
git clone -q "$REPO" "$WORK/src" || fail "git clone"
(cd "$REPO" && git diff HEAD --binary) | git -C "$WORK/src" apply --allow-empty || fail "uncommitted changes do not apply"
(cd "$REPO" && git ls-files -z --others --exclude-standard | xargs -0r cp --parents -t "$WORK/src")

HORVANE_DEPS_DIR="${HORVANE_DEPS_DIR:-$REPO/.cache/deps}" bash "$WORK/src/scripts/package" "$WORK/dist" \
  >"$WORK/package.log" 2>&1 || fail "scripts/package in a fresh clone: $(tail -20 "$WORK/package.log")"

differ=()
for f in "build/release/horvane.exe" "dist/horvane-$version-portable.zip" "dist/horvane-$version.msi"; do
  theirs="$WORK/src/$f"
  [[ $f == dist/* ]] && theirs="$WORK/dist/${f#dist/}"
  cmp -s "$REPO/$f" "$theirs" || differ+=("$(basename "$f") ($(cmp -l "$REPO/$f" "$theirs" 2>&1 | wc -l) bytes)")
done
((${#differ[@]} == 0)) || fail "differ between $REPO and $WORK/src: ${differ[*]}"
# Neither checkout's folder is written into the program.
for dir in "$REPO" "$WORK/src"; do
  ! strings -a "$REPO/build/release/horvane.exe" | grep -qF "$dir" || fail "horvane.exe names $dir"
done
python3 "$REPO/scripts/pe-info.py" stamp "$REPO/build/release/horvane.exe" >/dev/null ||
  fail "the CheckSum does not match horvane.exe"
echo "PASS: $(sha256sum "$REPO/build/release/horvane.exe" | cut -c1-16)… in both folders"
