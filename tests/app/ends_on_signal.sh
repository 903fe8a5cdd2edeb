#!/usr/bin/env bash
# Starts the program, waits until it catches SIGTERM, sends it, and expects a
# clean exit with status 0 and nothing left in its working directory.
set -euo pipefail
program=$(realpath "$1")
[ -x "$program" ] || { echo "no program at $1" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

"$program" &
pid=$!
# SigCgt lists the caught signals; SIGTERM (15) is bit 14.
for _ in $(seq 400); do
  kill -0 "$pid" 2>/dev/null || break
  caught=$(awk '/^SigCgt:/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
  if [ -n "$caught" ] && (( (16#$caught >> 14) & 1 )); then break; fi
  sleep 0.05
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "linkwatch ended with status $status" >&2
  exit 1
fi
if [ -n "$(ls -A "$work")" ]; then
  echo "linkwatch left files behind: $(ls -A "$work")" >&2
  exit 1
fi
echo "linkwatch ended cleanly"
