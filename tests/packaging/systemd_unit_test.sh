#!/usr/bin/env bash
# The service unit: installed where systemd looks, accepted by
# `systemd-analyze verify` for a real device's instance, hardened, and its
# command line, run as systemd would run it, starts a test against rkv-sim
# that a stop signal ends cleanly with its log in the working folder.
#   systemd_unit_test.sh BUILD_DIR
# Exits 77 (skipped) without systemd-analyze.
set -euo pipefail
build=$(realpath "$1")
command -v systemd-analyze >/dev/null || { echo "systemd-analyze missing: skipped"; exit 77; }
work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR="$work/root" cmake --install "$build" --prefix /usr >/dev/null
template=$work/root/usr/lib/systemd/system/linkwatch-cli@.service
[ -f "$template" ] || fail "not installed: ${template#"$work/root"}"

device=/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0
instance=$(systemd-escape --path "$device")
unit=$work/units/linkwatch-cli@$instance.service
mkdir "$work/units"
cp "$template" "$unit"

echo "== systemd-analyze verify linkwatch-cli@$instance.service"
# It warns of an unknown or misspelt option, and still exits 0: any word
# from it is a failure.
said=$(MANPATH=$work/root/usr/share/man systemd-analyze verify "$unit" 2>&1) ||
  fail "systemd-analyze verify: $said"
[ -z "$said" ] || fail "systemd-analyze verify: $said"

echo "== systemd-analyze security"
# 0 is a locked-down service, 10 one with no protection at all.
systemd-analyze security --offline=yes --threshold=20 "$unit" | tail -1 ||
  fail "the unit's exposure rose above 2.0"

echo "== its command line against rkv-sim"
exec_start=$(sed -n 's/^ExecStart=//p' "$template")
[ -n "$exec_start" ] || fail "no ExecStart"
mkfifo "$work/sim.out"
"$build/tools/rkv-sim/rkv-sim" --rate 10 --error-share 0.5 --seed 9 >"$work/sim.out" &
sim_pid=$!
exec 3<"$work/sim.out"
read -r -t 10 announce <&3 || fail "rkv-sim announced no device"
pty=${announce#device: }
# What systemd does with the line: %f is the instance's path, %% a single %.
command_line=${exec_start//%f/$pty}
command_line=${command_line//%%/%}
command_line=${command_line//\$\$/\$}
mkdir "$work/state"
# With metrics asked for, as an instance's drop-in would.
(cd "$work/state" && export PATH="$build/tools/linkwatch-cli:$PATH" LINKWATCH_METRICS=127.0.0.1:0 &&
  eval "exec $command_line") \
  >"$work/cli.out" 2>"$work/cli.err" &
cli_pid=$!
for _ in $(seq 100); do
  grep -q '         0         0         0         0 ' "$work/cli.out" 2>/dev/null && break
  kill -0 "$cli_pid" 2>/dev/null || break
  sleep 0.1
done
comm=$(cat "/proc/$cli_pid/comm" 2>/dev/null || true)
[ "$comm" = linkwatch-cli ] || fail "the service's main process is '$comm', not linkwatch-cli: $(cat "$work/cli.err")"
grep -q 'serving metrics at http://127.0.0.1:' "$work/cli.err" ||
  fail "LINKWATCH_METRICS did not reach --metrics: $(cat "$work/cli.err")"
kill -TERM "$cli_pid"
status=0
wait "$cli_pid" || status=$?
[ "$status" -eq 0 ] || fail "linkwatch-cli ended with $status: $(cat "$work/cli.err")"
logs=("$work"/state/results-*Z.txt)
[ ${#logs[@]} -eq 1 ] && [ -f "${logs[0]}" ] || fail "expected one timestamped log, got: ${logs[*]}"
head -c 11 "${logs[0]}" | grep -q '   Date' || fail "the log has no header"
echo "systemd unit: all checks passed"
