#!/usr/bin/env bash
# Runs every test binary of a build as a developer or an IDE does: whole, then
# whole in a shuffled order. ctest gives each test a process of its own; this
# catches a test that passes only there. Prints one line per run and the output
# of any run that fails; exits non-zero if one did.
# Usage: scripts/run-binaries.sh [build-folder]   (default: build)
set -uo pipefail
cd "$(dirname "$0")/.." || exit
build=${1:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
seed=$((RANDOM % 10000 + 1))  # printed, so that a failing order can be run again
log=$(mktemp)
trap 'rm -f "$log"' EXIT

shopt -s nullglob
binaries=("$build"/*_tests)
[ ${#binaries[@]} -gt 0 ] || { echo "no test binaries in $build" >&2; exit 1; }

failed=0
for binary in "${binaries[@]}"; do
  for order in "" "--gtest_shuffle --gtest_random_seed=$seed"; do
    # shellcheck disable=SC2086  # the order is two words or none
    if timeout 300 "$binary" $order --gtest_brief=1 >"$log" 2>&1; then
      echo "ok      $binary ${order:-(whole)}"
    else
      echo "FAILED  $binary ${order:-(whole)}"
      cat "$log"
      failed=1
    fi
  done
done
exit "$failed"
