#!/usr/bin/env bash
# Builds the fuzzers of fuzz/ with clang and runs each for SECONDS, on a
# scratch copy of its seed corpus so that the committed seeds stay as they
# are. Prints each one's executions and result; exits non-zero on any
# finding, whose reproducer stays in the folder named.
# Usage: scripts/fuzz.sh SECONDS [build-folder]   (default: build-fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?Usage: scripts/fuzz.sh SECONDS [build-folder]}
build=${2:-build-fuzz}

scripts/install-missing.sh clang libclang-rt-dev cmake ninja-build qt6-base-dev fonts-dejavu-core
[ -f "$build/build.ninja" ] ||
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTARNWICK_FUZZ=ON
cmake --build "$build" --target fuzzers -j "$(nproc)"

runs="$build/fuzz-runs"
rm -rf "$runs"
export QT_QPA_PLATFORM=offscreen
found=0
for source in fuzz/*_fuzzer.cpp; do
  name=$(basename "$source" _fuzzer.cpp)
  mkdir -p "$runs/$name/corpus" "$runs/$name/findings"
  cp fuzz/corpus/"$name"/* "$runs/$name/corpus/"
  log="$runs/$name/log"
  # A single input that takes over 10 s counts as a hang.
  if "$build/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$runs/$name/findings/" "$runs/$name/corpus" >"$log" 2>&1; then
    result=ok
  else
    result="FINDING: reproducer in $runs/$name/findings/, output in $log"
    found=1
  fi
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  printf '%-8s %10s executions  %s\n' "$name" "${executions:-?}" "$result"
  [ "$result" = ok ] || grep -m 3 -E 'Property broken|runtime error|ERROR:' "$log" | sed 's/^/         /'
done
exit $found
