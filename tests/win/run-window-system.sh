#!/usr/bin/env bash
# The Win32 window system under Wine, on a virtual X display: real forms
# with child windows of the standard classes, menus, timers, message boxes
# and work carried over from other threads.
# Usage: run-window-system.sh [WINDOWS_BUILD_DIR]
source "$(dirname "$0")/../../scripts/common.sh"

BUILD="${1:-$REPO/build/windows}"
EXE=$(wintests_exe "$BUILD") || exit 1
FILTER="${HORVANE_WINDOW_FILTER:-WindowSystemTest*}"

ensure_wine_prefix
trap stop_xvfb EXIT
start_xvfb || exit 1
timeout 300 wine "$EXE" --gtest_filter="$FILTER" 2>&1
