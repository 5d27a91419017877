#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
TARNWICK_BOARD=build/tarnwick-board scripts/test-windows.sh  # the core and its tests for Windows, under Wine
