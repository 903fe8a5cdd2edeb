#!/usr/bin/env bash
# On a real X server with a window manager: the system menu, opened with a
# right click, lists the machine's serial devices below COM4, the last one is
# chosen with the keyboard, and START opens that device. The devices are the
# ones linkwatch-cli --list-devices prints; without any the check is skipped.
#   device_menu_under_x.sh LINKWATCH LINKWATCH_CLI
set -euo pipefail
program=$(realpath "$1")
cli=$(realpath "$2")
skip=77
for tool in xvfb-run openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit $skip; }
done
last=$("$cli" --list-devices | tail -n 1)
[ -n "$last" ] || { echo "skipped: this machine has no serial device"; exit $skip; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/drive.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
program=$1 device=$2
openbox >/dev/null 2>&1 &
wm=$!
"$program" 2>/dev/null &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; kill "$wm" 2>/dev/null || true' EXIT
wait_for() {  # a window title (a regular expression); prints the window's id
  local id=""
  for _ in $(seq 1200); do  # a minute: the machine may be busy
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) || true
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  echo "no window named $1 appeared" >&2
  return 1
}
main=$(wait_for '^RKV-3520$')
xdotool windowactivate --sync "$main"
sleep 0.5
# The background beside the "Current Log File" group takes the right click.
xdotool mousemove --window "$main" 210 30 click 3
sleep 0.5
# With no item active, Up reaches the last one, "Link Quality...", then
# About; the one above that is the last device.
xdotool key --delay 100 Up Up Up Return
box=$(wait_for '^linkwatch$')
xdotool windowactivate --sync "$box" key Return
sleep 0.5
xdotool windowactivate --sync "$main"
# The focus starts in the duration list; START is the next tab stop.
xdotool key --delay 100 Tab Return
real=$(realpath "$device")
for _ in $(seq 200); do
  for fd in /proc/"$pid"/fd/*; do
    [ "$(readlink "$fd" 2>/dev/null)" = "$real" ] && { echo "START opened $device"; exit 0; }
  done
  # A device that cannot be opened is named in the log instead.
  if grep -qF "Cannot Open $device - recording terminated" results.txt 2>/dev/null; then
    echo "START tried $device"
    exit 0
  fi
  sleep 0.05
done
echo "START did not open $device" >&2
exit 1
INNER
chmod +x "$work/drive.sh"
cd "$work"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$work/drive.sh" "$program" "$last"
