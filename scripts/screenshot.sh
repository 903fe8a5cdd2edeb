#!/usr/bin/env bash
# Runs linkwatch on a virtual X display and saves a picture of its window as
# docs/screenshot.png.
#   scripts/screenshot.sh [build-dir]     (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-build}
program="$root/$build/src/app/linkwatch"
[ -x "$program" ] || { echo "no program at $program; build first" >&2; exit 1; }
mkdir -p "$root/docs"

# The program shows the log file in its working directory: use a short one.
work=$(mktemp -d /tmp/lw-XXXX)
trap 'rm -rf "$work"' EXIT

cat >"$work/shoot.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
program=$1 out=$2
"$program" &
pid=$!
id=""
for _ in $(seq 100); do
  id=$(xwininfo -root -tree 2>/dev/null | awk '/"RKV-3520"/ {print $1; exit}')
  [ -n "$id" ] && break
  sleep 0.1
done
[ -n "$id" ] || { echo "the window did not appear" >&2; kill "$pid"; exit 1; }
sleep 1  # let it draw
import -window "$id" "$out"
kill -TERM "$pid"
wait "$pid"
INNER
chmod +x "$work/shoot.sh"

cd "$work"
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$work/shoot.sh" "$program" "$root/docs/screenshot.png"
echo "wrote docs/screenshot.png"
