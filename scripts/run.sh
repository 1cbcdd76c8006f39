#!/usr/bin/env bash
# Installs what is missing, builds Wrenfold and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build --target wrenfold -j "$(nproc)"
exec build/wrenfold
