#!/usr/bin/env bash
# Try linkwatch without the instrument. Installs the Debian packages that are
# missing, builds, starts rkv-sim on a pseudo-terminal as COM1 and runs a link
# test on it: the window when there is a display (press START), else
# linkwatch-cli for 30 seconds. The log, results.txt, is left in the
# directory this was run from (an older one there is replaced).
set -euo pipefail
here=$(pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build  # the same build as scripts/test.sh

window=no
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then window=yes; fi

"$root/scripts/deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
targets=(rkv-sim linkwatch-cli)
if [ $window = yes ]; then targets+=(linkwatch); fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

scratch=$(mktemp -d)
sim_pid=
stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    grep '^summary:' "$scratch/sim.out" | sed 's/^summary:/rkv-sim sent:/' || true
  fi
  rm -rf "$scratch"
}
trap stop_sim EXIT

# A frame with error counts now and then, and the line going quiet for a few
# seconds from time to time, so that the test has something to show.
link=$scratch/ttyRKV
"$build/tools/rkv-sim/rkv-sim" --link "$link" --rate 10 --error-share 0.05 \
  --gap 12:4 --gap 45:4 --gap 90:4 --gap 150:4 >"$scratch/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 50); do
  [ -e "$link" ] && break
  sleep 0.1
done
if [ ! -e "$link" ]; then
  cat "$scratch/sim.out" >&2
  echo "demo: rkv-sim did not start" >&2
  exit 1
fi
export LINKWATCH_COM1=$link

cd "$here"
if [ $window = yes ]; then
  echo "demo: rkv-sim is on COM1. Press START in the window; the log goes to $here/results.txt"
  "$build/src/app/linkwatch"
else
  echo "demo: no display; a 30-second test with linkwatch-cli on COM1 (rkv-sim)"
  "$build/tools/linkwatch-cli/linkwatch-cli" --duration 30s --overwrite
  echo "demo: the log is $here/results.txt"
fi
