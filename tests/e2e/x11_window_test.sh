#!/usr/bin/env bash
# Works the program on a real X server as a user does: Xvfb, with or without
# the openbox window manager, real mouse clicks at the controls' places and
# real key presses through xdotool, rkv-sim as the instrument on a pty. What
# the program did is read from its log, its windows and the clipboard; the
# screen is saved as PNG files in the artefact folder.
#   x11_window_test.sh CASE PROGRAM RKV_SIM LAYOUT_PROBE ARTIFACT_DIR
# Exits 77 (skipped) only when a program this test needs is not installed.
set -euo pipefail

case_name=$1
program=$(realpath "$2")
sim=$(realpath "$3")
probe=$(realpath "$4")
artifacts=$5

for tool in Xvfb openbox xdotool xwininfo xprop import convert compare xclip timeout; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done

mkdir -p "$artifacts"
artifacts=$(realpath "$artifacts")
work=$(mktemp -d /tmp/lw-x11-XXXX)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Under the sanitizers, the X and GTK libraries keep memory until the end;
# leaks are the offscreen tests' to find, not these.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

# Generous: the machine is shared and slow at times.
readonly kDeadline=60

shot() { import -window root "$artifacts/$case_name-$1.png"; }

fail() {
  echo "FAIL: $*" >&2
  shot failure 2>/dev/null || true
  local log
  for log in "$work"/*.log; do
    [ -s "$log" ] && { echo "--- $(basename "$log")"; tail -n 20 "$log"; } >&2
  done
  exit 1
}

# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds.
wait_until() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

# xvfb_ours N PID: display N is served by our Xvfb, which holds its lock.
xvfb_ours() {
  kill -0 "$2" 2>/dev/null && [ "$(tr -d ' ' <"/tmp/.X$1-lock" 2>/dev/null)" = "$2" ] &&
    [ -S "/tmp/.X11-unix/X$1" ] && DISPLAY=":$1" xprop -root _NET_SUPPORTED >/dev/null 2>&1
}

# start_x [wm]: a new X server on a display nobody else uses (other tests
# start theirs at the same time), and openbox if asked.
start_x() {
  local n pid tries
  for tries in $(seq 20); do
    n=$((200 + RANDOM % 600))
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    # -noreset: the checks below must not reset the server as they disconnect.
    Xvfb ":$n" -screen 0 1024x768x24 -dpi 96 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    pid=$!
    if wait_until $kDeadline bash -c "$(declare -f xvfb_ours); xvfb_ours $n $pid || ! kill -0 $pid 2>/dev/null" &&
      xvfb_ours "$n" "$pid"; then
      pids+=("$pid")
      break
    fi
    kill "$pid" 2>/dev/null || true
    pid=""
  done
  [ -n "$pid" ] || fail "no X server could be started"
  export DISPLAY=":$n"
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  if [ "${1:-}" = wm ]; then
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    wait_until $kDeadline sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
      fail "openbox did not start on $DISPLAY"
  fi
}

# start_sim ARGS...: the instrument behind $work/com1.
start_sim() {
  "$sim" --link "$work/com1" --seed 7 "$@" >"$work/sim.log" 2>&1 &
  pids+=($!)
  wait_until $kDeadline test -e "$work/com1" || fail "rkv-sim made no pty"
}

# start_program: the program in $work, COM1 on the simulator unless $com1
# says otherwise; sets $wid.
start_program() {
  (cd "$work" && LINKWATCH_COM1="${com1:-$work/com1}" exec "$program") >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=($program_pid)
  wid=$(timeout $kDeadline xdotool search --sync --onlyvisible --name '^RKV-3520$' | head -n1) ||
    fail "the window did not appear"
  read_layout
}

# Where the controls are, in the window's own pixels.
declare -A geo
read_layout() {
  local name x y w h
  while read -r name x y w h; do geo[$name]="$x $y $w $h"; done < <("$probe")
  [ -n "${geo[duration]:-}" ] || fail "the layout probe printed nothing"
}

# centre NAME [DX DY]: the centre of a control, shifted by DX, DY.
centre() {
  local x y w h
  read -r x y w h <<<"${geo[$1]}"
  echo "$((x + w / 2 + ${2:-0})) $((y + h / 2 + ${3:-0}))"
}

# click NAME [BUTTON] [DX DY]: a real click on a control of the main window.
click() {
  local pos
  pos=$(centre "$1" "${3:-0}" "${4:-0}")
  # shellcheck disable=SC2086
  xdotool mousemove --window "$wid" $pos click "${2:-1}"
}

# Keys go wherever the X server's focus is, as a user's keys do.
key() { xdotool key "$@"; }

# The X server's keyboard focus is in the main window (where keys go next).
focus_in_main() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$((wid))" ]; }
# keys_reach_main WHAT: after a box closed, the keyboard comes back.
keys_reach_main() {
  wait_until $kDeadline focus_in_main || fail "after $1 the keyboard focus is not in the window"
  key Escape
  wait_until $kDeadline box_open linkwatch || fail "after $1 the keys reach nothing"
}

# Away from the window, so that no key can reach it through the pointer.
park_pointer() { xdotool mousemove 1010 750; }

# box_open TITLE: is a window of that title mapped?
box_open() { xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1; }
wait_box() { wait_until $kDeadline box_open "$1" || fail "no \"$1\" window"; }
wait_box_gone() { wait_until $kDeadline bash -c "! xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1" ||
  fail "\"$1\" stayed open"; }

# mapped_windows [MIN_HEIGHT]: top-level windows that are mapped and at least
# that tall (40 pixels: the main window, boxes, menus and list pop-ups, but
# not tooltips).
mapped_windows() {
  local id min=${1:-40}
  xwininfo -root -children | awk '/^ +0x/ {print $1}' | while read -r id; do
    xwininfo -id "$id" 2>/dev/null |
      awk -v id="$id" -v min="$min" \
        '/Height:/ {h = $2} /Map State: IsViewable/ {v = 1} END {if (v && h >= min) print id}'
  done | sort
}
# popup_opened_since BEFORE [MIN_HEIGHT]: a window is mapped that was not in BEFORE.
popup_opened_since() { [ -n "$(comm -13 <(echo "$1") <(mapped_windows "${2:-40}"))" ]; }
popup_closed_since() { ! popup_opened_since "$1"; }

# crop NAME FILE: the control's pixels from a screenshot of the main window.
crop_control() {
  local x y w h
  read -r x y w h <<<"${geo[$1]}"
  import -window "$wid" -crop "${w}x${h}+${x}+${y}" +repage "$2"
}
# control_changed NAME BEFORE: does the control look different now?
control_changed() {
  crop_control "$1" "$work/now.png"
  differs "$2" "$work/now.png"
}
differs() { # FILE FILE: do two pictures differ in any pixel?
  local n
  n=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [ "${n%% *}" != 0 ]
}

log_rows() { grep -cE '^[0-9]{2}-[0-9]{2}-[0-9]{4} ' "$work/results.txt" 2>/dev/null || echo 0; }
log_has_rows() { (($(log_rows) >= $1)); }
clipboard() { xclip -o -selection clipboard 2>/dev/null; }

# The rows of the log as the table shows them, oldest first, CR LF between.
log_row_lines() {
  grep -aE '^[0-9]{2}-[0-9]{2}-[0-9]{4} ' "$work/results.txt" | tr -d '\r'
}

exit_program() {
  park_pointer
  key Escape
  wait_box linkwatch
  key Return
  wait_until $kDeadline bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end"
  wait "$program_pid" || fail "the program ended with an error"
}

# --- the cases ---------------------------------------------------------------

# Every control takes its own clicks: the duration list by click, its arrow
# and the wheel; START, STOP; the menu icon; a right click on the background.
case_mouse() {
  start_x wm
  start_sim --rate 5 --error-share 0
  start_program
  shot start

  crop_control duration "$work/duration-0.png"
  local before
  before=$(mapped_windows)
  click duration
  wait_until $kDeadline popup_opened_since "$before" || fail "a click on the duration list opened nothing"
  shot duration-open
  key Escape
  wait_until $kDeadline popup_closed_since "$before" || fail "the list's pop-up stayed open"

  # Its arrow, at the right end.
  local x y w h
  read -r x y w h <<<"${geo[duration]}"
  xdotool mousemove --window "$wid" $((x + w - 4)) $((y + h / 2)) click 1
  wait_until $kDeadline popup_opened_since "$before" || fail "a click on the list's arrow opened nothing"
  key Escape
  wait_until $kDeadline popup_closed_since "$before" || fail "the list's pop-up stayed open"

  # The wheel moves on to "15 minutes": the list shows another text.
  click duration 5
  wait_until $kDeadline control_changed duration "$work/duration-0.png" ||
    fail "the wheel did not change the duration"
  shot duration-wheel

  click start
  wait_until $kDeadline log_has_rows 1 || fail "a click on START started no test"
  click stop
  wait_box linkwatch
  key Return
  wait_box_gone linkwatch
  wait_until $kDeadline log_has_rows 2 || fail "a click on STOP, then Yes, did not stop the test"

  before=$(mapped_windows)
  click menu
  wait_until $kDeadline popup_opened_since "$before" || fail "a click on the menu icon opened nothing"
  key Escape
  # A right click beside the controls, in the "Current Log File" frame.
  click log_file 3 0 0
  wait_until $kDeadline popup_opened_since "$before" || fail "a right click on the background opened nothing"
  shot background-menu
  key Escape
  exit_program
}

# F10 and the Menu key open the program's own menu, which window managers
# leave alone (openbox takes Alt+Space for its own); the icon has a tooltip.
case_menu_keys() {
  start_x wm
  start_program
  local before
  before=$(mapped_windows)
  for k in F10 Menu; do
    key "$k"
    wait_until $kDeadline popup_opened_since "$before" || fail "$k opened no menu"
    shot "menu-by-$k"
    key Escape
    wait_until $kDeadline popup_closed_since "$before" || fail "Escape left the menu open"
  done
  # It is the program's menu: its last item is About.
  key F10
  wait_until $kDeadline popup_opened_since "$before" || fail "F10 opened no menu"
  key Up Return
  wait_box "About RKV-3520 Linkwatch"
  key Return
  wait_box_gone "About RKV-3520 Linkwatch"

  before=$(mapped_windows 1)
  # shellcheck disable=SC2046
  xdotool mousemove --window "$wid" $(centre menu)
  wait_until $kDeadline popup_opened_since "$before" 1 || fail "the menu icon shows no tooltip"
  shot tooltip
  exit_program
}

# With no window manager, the keyboard comes back to the window after every
# box: Exit -> No, About, Stop -> Yes, and the save dialog cancelled.
case_focus_without_wm() {
  start_x
  start_sim --rate 2 --error-share 0
  start_program
  park_pointer
  key Escape
  wait_box linkwatch
  key Escape
  wait_box_gone linkwatch
  keys_reach_main "Exit -> No"
  key Escape
  wait_box_gone linkwatch

  local before
  before=$(mapped_windows)
  key F10
  wait_until $kDeadline popup_opened_since "$before" || fail "F10 opened no menu"
  key Up Return
  wait_box "About RKV-3520 Linkwatch"
  key Return
  wait_box_gone "About RKV-3520 Linkwatch"
  keys_reach_main "the About box"
  key Escape
  wait_box_gone linkwatch

  click start
  wait_until $kDeadline log_has_rows 1 || fail "a click on START started no test"
  click stop
  wait_box linkwatch
  park_pointer
  key Return
  wait_box_gone linkwatch
  wait_until $kDeadline log_has_rows 2 || fail "STOP, then Yes, did not stop the test"
  keys_reach_main "Stop -> Yes"
  key Escape
  wait_box_gone linkwatch

  # The log is there now: START asks to overwrite it; No leads to the save dialog.
  click start
  wait_box linkwatch
  park_pointer
  key Escape
  wait_box "Select Log File"
  shot save-dialog
  key Escape
  wait_box_gone "Select Log File"
  keys_reach_main "the save dialog"
  key Return
  wait_until $kDeadline bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end"
}

# The window can be made larger: the table takes the room, START stays put.
# Scrolled down, the rows in view stay where they are while rows arrive; at
# the top the newest row shows.
case_resize_and_scroll() {
  start_x wm
  start_sim --rate 4 --error-share 1
  start_program
  local x y w h
  read -r x y w h <<<"${geo[window]}"
  xdotool windowsize "$wid" $((w + 200)) $((h + 250))
  wait_until $kDeadline bash -c "xwininfo -id $wid | grep -q 'Height: $((h + 250))\$'" ||
    fail "the window cannot be made taller"
  click start
  wait_until $kDeadline log_has_rows 60 || fail "no rows came in"
  shot grown

  # A row in the room the window gained.
  read -r x y w h <<<"${geo[results]}"
  xdotool mousemove --window "$wid" $((x + 30)) $((y + h + 200)) click 1
  key ctrl+c
  wait_until $kDeadline bash -c '[ -n "$(xclip -o -selection clipboard 2>/dev/null)" ]' ||
    fail "no row in the room the table gained"

  # Scrolled down: the row under the pointer is the same one later.
  xdotool mousemove --window "$wid" $((x + 30)) $((y + h / 2))
  xdotool click --repeat 6 --delay 50 5
  xdotool click 1
  key ctrl+c
  local first second n
  first=$(clipboard)
  n=$(log_rows)
  wait_until $kDeadline log_has_rows $((n + 8)) || fail "no more rows came in"
  shot scrolled
  xdotool click 1
  key ctrl+c
  second=$(clipboard)
  [ "$first" = "$second" ] || fail "the rows in view moved: '$first' became '$second'"

  # At the top, the first row is the newest.
  key ctrl+Home
  n=$(log_rows)
  wait_until $kDeadline log_has_rows $((n + 8)) || fail "no more rows came in"
  # shellcheck disable=SC2046
  xdotool mousemove --window "$wid" $(centre row0) click 1
  key ctrl+c
  local top
  top=$(clipboard)
  log_row_lines | tail -n 8 | grep -qxF "$top" || fail "at the top, '$top' is not among the newest rows"
  shot top
}

# Rows are selected by click, Shift and Ctrl, or Ctrl+A, and copied by Ctrl+C
# or the table's menu as their log lines, oldest first, CR LF between them.
row_y() {
  local x y w h
  read -r x y w h <<<"${geo[row0]}"
  echo $((y + $1 * h + h / 2))
}
click_row() { # ROW [MODIFIER]
  local x y w h
  read -r x y w h <<<"${geo[row0]}"
  [ -n "${2:-}" ] && xdotool keydown "$2"
  xdotool mousemove --window "$wid" $((x + 30)) "$(row_y "$1")" click 1
  [ -n "${2:-}" ] && xdotool keyup "$2"
  return 0
}
# expect_clipboard LINE...: the clipboard holds these lines, CR LF between.
expect_clipboard() {
  local want="$work/want" got="$work/got"
  local IFS=$'\n'
  printf '%s\r\n' "$@" | head -c -2 >"$want"
  wait_until $kDeadline bash -c "xclip -o -selection clipboard >'$got' 2>/dev/null; cmp -s '$want' '$got'" ||
    fail "the clipboard holds $(od -c "$got" | head -n 4) instead of $(od -c "$want" | head -n 4)"
}
case_copy_rows() {
  start_x wm
  start_sim --rate 3 --error-share 1
  start_program
  click start
  wait_until $kDeadline log_has_rows 12 || fail "no rows came in"
  click stop
  wait_box linkwatch
  key Return
  wait_box_gone linkwatch
  mapfile -t lines < <(log_row_lines)
  local n=${#lines[@]}

  click_row 0
  click_row 2 shift
  key ctrl+c
  expect_clipboard "${lines[n - 3]}" "${lines[n - 2]}" "${lines[n - 1]}"
  click_row 4 ctrl
  key ctrl+c
  expect_clipboard "${lines[n - 5]}" "${lines[n - 3]}" "${lines[n - 2]}" "${lines[n - 1]}"
  shot selected

  key ctrl+a
  local x y w h
  read -r x y w h <<<"${geo[row0]}"
  xdotool mousemove --window "$wid" $((x + 30)) "$(row_y 1)" click 3
  sleep 0.2
  shot context-menu
  key c
  expect_clipboard "${lines[@]}"
}

# The status line tells the port and its device, the line's state, the rows
# and the log's state; its picture goes to the artefacts.
crop_status() { crop_control status "$artifacts/$case_name-$1.png"; }
case_status_line() {
  start_x wm
  start_sim --rate 3 --error-share 0.2 --gap 4:6
  start_program
  crop_status idle
  click start
  wait_until $kDeadline log_has_rows 2 || fail "no rows came in"
  wait_until $kDeadline bash -c "! grep -q 'Connection Loss' '$work/results.txt'"
  crop_status up
  shot running
  wait_until $kDeadline grep -q 'Connection Loss' "$work/results.txt" || fail "the line was never lost"
  crop_status lost
  shot lost
  import -window "$wid" "$artifacts/$case_name-window.png"
  differs "$artifacts/$case_name-idle.png" "$artifacts/$case_name-up.png" || fail "the status line did not change at START"
  differs "$artifacts/$case_name-up.png" "$artifacts/$case_name-lost.png" || fail "the status line did not tell the loss"
}

# A port that cannot be opened: its box shows the device path whole.
case_port_failure() {
  start_x wm
  com1=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0
  start_program
  click start
  wait_box linkwatch
  shot box
  key Return
  wait_box_gone linkwatch
  wait_until $kDeadline grep -q "recording terminated" "$work/results.txt" || fail "the log does not tell the failure"
}

# The window takes the desktop's palette through Qt's GTK platform theme:
# dark under a dark GTK theme, light under a light one.
background_level() { # the grey level of the window's background, 0 to 255
  local x y w h
  read -r x y w h <<<"${geo[window]}"
  import -window "$wid" -crop "1x1+5+$((h / 2))" +repage -colorspace Gray -format '%[fx:int(255*p{0,0})]' info:
}
case_theme() {
  local plugin
  plugin=$(find /usr/lib -path '*qt6/plugins/platformthemes/libqgtk3.so' -print -quit 2>/dev/null)
  [ -n "$plugin" ] || { echo "SKIP: Qt's GTK platform theme (qt6-gtk-platformtheme) is not installed"; exit 77; }
  start_x wm
  export QT_QPA_PLATFORMTHEME=gtk3
  local theme level
  for theme in Adwaita:dark Adwaita; do
    GTK_THEME=$theme start_program
    level=$(background_level)
    import -window "$wid" "$artifacts/$case_name-${theme/:/-}.png"
    echo "$theme: background grey level $level"
    if [ "$theme" = Adwaita:dark ]; then
      ((level < 100)) || fail "under $theme the background is light ($level)"
    else
      ((level > 180)) || fail "under $theme the background is dark ($level)"
    fi
    exit_program
  done
}

case_"$case_name"
echo "PASS: $case_name"
