#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (and AddressSanitizer and
# UndefinedBehaviorSanitizer) in their own build folder, and runs the frame
# decoder's target for SECONDS seconds [60], starting from the seed corpus in
# the tree. New inputs go to a scratch folder, not into the tree; a crash
# leaves its input in the build folder and fails the script.
#   scripts/fuzz.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$root/build-fuzz}
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: $0 [SECONDS] [BUILD_DIR]" >&2; exit 2; }

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DLINKWATCH_FUZZ=ON -DLINKWATCH_GUI=OFF -DLINKWATCH_BENCH=OFF >/dev/null
cmake --build "$build" --target frame_decoder_fuzzer

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cd "$build"
echo "== frame decoder: fuzzing for $seconds s"
./tests/acquire/frame_decoder_fuzzer -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$build/" "$work/corpus" "$root/tests/acquire/corpus/frame_decoder"
