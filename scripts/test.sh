#!/usr/bin/env bash
# Installs what is missing, builds Wrenfold and its tests, and runs every test: unit and integration tests
# offscreen, end-to-end tests under a private Xvfb, and a short fuzzing run of the property-list reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test -j "$(nproc)"

fuzz_runs=20000
if ! scripts/fuzz.sh "$fuzz_runs" >build-test/fuzz.log 2>&1; then
    tail -n 60 build-test/fuzz.log
    echo "fuzzing found a problem; the whole log is build-test/fuzz.log" >&2
    exit 1
fi
echo "fuzzing: $fuzz_runs property lists read without a finding"

cd build-test
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
