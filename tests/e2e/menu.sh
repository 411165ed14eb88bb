# Pointer steps for the journeys of the secondary windows: Wine does not show
# one process's menus to another, so menus are opened the way a user does,
# with the mouse, at their places on a 96-DPI screen. Sourced after lib.sh.

# client_origin TITLE: the screen position of the window's client area.
client_origin() {
  local rect frame client L T W H cw ch b
  read -r frame _ client <<<"$(driver rect "$1")"
  IFS=, read -r L T W H <<<"$frame"
  IFS=, read -r cw ch <<<"$client"
  [[ -n "$cw" ]] || return 1
  b=$(((W - cw) / 2))
  echo "$((L + b)) $((T + H - ch - b))"
}

# The main window's Help menu, one row of 18 pixels per item below the bar
# at 96 DPI; the main window's client width (424 at 96 DPI) gives the scale.
declare -A HELP_ROW=([Online Help]=0 [Language...]=1 [Send Feedback...]=2 [About]=3)
open_help_item() {
  local row=${HELP_ROW[$1]:-} x y cw dy
  [[ -n "$row" ]] || return 1
  read -r x y <<<"$(client_origin "$TITLE")" || return 1
  cw=$(driver rect "$TITLE" | sed 's/.*client \([0-9]*\),.*/\1/')
  # "Help" sits in the menu bar just above the client area.
  xdotool mousemove $((x + $((46 * cw / 424)))) $((y - $((10 * cw / 424)))) click 1
  sleep 0.7
  ((row == 0)) && dy=13 || dy=$((22 + row * 18))
  xdotool mousemove $((x + $((77 * cw / 424)))) $((y + $((dy * cw / 424)))) click 1
}

# open_help_window ITEM WINDOW: chooses the item until its window shows, at
# most three times. On a loaded machine the menu can come up after the click
# meant for its item, and stays open; Escape closes it for the next try.
open_help_window() {
  local try
  for try in 1 2 3; do
    open_help_item "$1" || return 1
    wait_for 5000 window_visible "$2" && return 0
    xdotool key Escape Escape
    sleep 0.5
  done
  return 1
}

# click_child TITLE CLASS [TEXT [DX DY]]: clicks the middle of the window's
# first child of that class (and text). The driver gives a child's place in
# its parent, so a child of a panel needs the panel's place as DX DY.
click_child() {
  local x y cx cy cw ch
  read -r x y <<<"$(client_origin "$1")" || return 1
  x=$((x + ${4:-0}))
  y=$((y + ${5:-0}))
  read -r cx cy cw ch <<<"$(driver dump "$1" | awk -F'|' -v c="$2" -v t="${3-}" \
    '$1==c && (t=="" || $6==t) {split($2,r,","); print r[1], r[2], r[3], r[4]; exit}')"
  [[ -n "$cx" ]] || return 1
  xdotool mousemove $((x + cx + cw / 2)) $((y + cy + ch / 2)) click 1
}

# The text of the first child of a class, or of a class and position.
child_text() { driver dump "$1" | awk -F'|' -v c="$2" '$1==c {print $6; exit}'; }

window_visible() { [[ "$(driver visible "$1")" == 1 ]]; }

# choose_language LETTER NAME: in the open language window, takes the first
# letter in the open list, as a user choosing from it would; a second click
# on the box closes it. (Enter would also press OK.)
choose_language() {
  click_child Language ComboBox || return 1
  sleep 0.5
  xdotool key "$1"
  sleep 0.3
  click_child Language ComboBox
  sleep 0.3
  wait_for 5000 language_chosen "$2"
}
language_chosen() { [[ "$(child_text Language ComboBox)" == "$1" ]]; }
