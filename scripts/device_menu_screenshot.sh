#!/usr/bin/env bash
# Runs linkwatch on a virtual X display under openbox, opens its system menu
# with a right click on the window's background, and saves a picture of the
# window with the menu as docs/device-menu.png. The devices listed below COM4
# are the serial devices of the machine it runs on.
#   scripts/device_menu_screenshot.sh [build-dir]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
program="$root/$build/src/app/linkwatch"
[ -x "$program" ] || { echo "no program at $program; build first" >&2; exit 1; }
for tool in xvfb-run openbox xdotool import; do
  command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/deps.sh)" >&2; exit 1; }
done
mkdir -p "$root/docs"

# The program shows the log file in its working directory: use a short one.
work=$(mktemp -d /tmp/lw-XXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
program=$1 out=$2
openbox &
wm=$!
"$program" &
pid=$!
trap 'kill -TERM "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; kill "$wm" 2>/dev/null' EXIT
id=""
for _ in $(seq 100); do
  id=$(xdotool search --name '^RKV-3520$' 2>/dev/null | head -1) || true
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "the window did not appear" >&2; exit 1; }
xdotool windowmove --sync "$id" 40 40
xdotool windowactivate --sync "$id"
sleep 1  # let it draw
eval "$(xdotool getwindowgeometry --shell "$id")"
# A right click on the background left of the log file's group opens the menu.
xdotool mousemove --window "$id" 210 30 click 3
sleep 1
# The window and the menu that hangs from it, with a margin.
import -window root -crop "$((WIDTH + 260))x$((HEIGHT + 60))+$((X - 10))+$((Y - 40))" +repage "$out"
INNER
chmod +x "$work/shoot.sh"

cd "$work"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$work/shoot.sh" "$program" "$root/docs/device-menu.png"
echo "wrote docs/device-menu.png"
