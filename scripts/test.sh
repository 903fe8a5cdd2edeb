#!/usr/bin/env bash
# Sets up, builds and runs every test, with warnings as errors.
#   scripts/test.sh            GCC, RelWithDebInfo: the README's test command
#   scripts/test.sh --release  GCC, Release: the optimiser's warnings and behaviour
#   scripts/test.sh --sanitize clang under AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
case "${1:-}" in
  "") ;;
  --release)
    build=build-release
    flags=(-DCMAKE_BUILD_TYPE=Release)
    ;;
  --sanitize)
    build=build-asan
    flags=(-DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ -DLINKWATCH_SANITIZE=ON
           -DLINKWATCH_BENCH=OFF)
    ;;
  *)
    echo "usage: $0 [--release | --sanitize]" >&2
    exit 2
    ;;
esac
if command -v ccache >/dev/null; then flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

scripts/deps.sh
cmake -S . -B "$build" -G Ninja -DLINKWATCH_WERROR=ON "${flags[@]}"
cmake --build "$build" -j "$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
