#!/usr/bin/env bash
# Sets up, builds and runs every test.
#   scripts/test.sh            the normal build
#   scripts/test.sh --sanitize the same under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DCMAKE_BUILD_TYPE=Debug -DLINKWATCH_SANITIZE=ON -DLINKWATCH_BENCH=OFF)
fi

scripts/deps.sh
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
