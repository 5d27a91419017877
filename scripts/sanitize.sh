#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# in a folder of its own and runs every test there: any finding fails the run.
# Usage: scripts/sanitize.sh [build-folder]   (default: build-sanitize)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-sanitize}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
scripts/setup.sh "$build" "-DCMAKE_CXX_FLAGS=$flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags" \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
