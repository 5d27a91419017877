#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the suite (by ctest
# and each binary whole and shuffled), the Debian package, the same suite
# under the sanitizers, the fuzzers, and the Windows build under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
step() { echo "== $1 (at $((SECONDS - started)) s)"; }

# Every build below compiles through ccache, whose cache is kept beside Qt
# for Windows, outside the clone: a later run on this machine, from a fresh
# clone too, compiles again only what changed.
scripts/install-missing.sh ccache
. scripts/cache-folder.sh
export CCACHE_DIR="$tarnwick_cache/ccache" CCACHE_MAXSIZE=4G
# Paths inside the clone count as relative, and the folder a compiler runs in
# not at all, so that a clone elsewhere finds the same entries.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

step "Build and test suite"
scripts/setup.sh build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"

step "Each test binary whole and shuffled: every test stands alone"
scripts/run-binaries.sh build

step "Debian package: its files, and the installed tool run once by a user"
scripts/package-check.sh build

step "Test suite under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/sanitize.sh build-sanitize

step "Fuzzers, 20 seconds each"
scripts/fuzz.sh 20

step "Windows: the core, the tool, its zip and installer under Wine"
TARNWICK_BOARD=build/tarnwick-board scripts/test-windows.sh
step "All tests passed"
