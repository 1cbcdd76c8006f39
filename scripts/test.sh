#!/usr/bin/env bash
# Installs what is missing, builds Wrenfold and its tests, and runs every test: unit and integration tests
# offscreen, end-to-end tests under a private Xvfb, and a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j "$(nproc)"
cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
