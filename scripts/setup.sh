#!/usr/bin/env bash
# Installs what the project needs (only what is missing) and builds it.
# Usage: scripts/setup.sh [build-folder [cmake options...]]   (default: build)
# The options are taken when the folder is configured for the first time.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift $(( $# > 0 ? 1 : 0 ))

# ser2net: the port server that the tests of network ports put before the board.
scripts/install-missing.sh g++ cmake ninja-build qt6-base-dev googletest libgtest-dev libgmock-dev \
  libbenchmark-dev nlohmann-json3-dev fonts-dejavu-core fonts-liberation xvfb openbox xdotool imagemagick x11-utils librsvg2-bin \
  ser2net

[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build" -j "$(nproc)"
