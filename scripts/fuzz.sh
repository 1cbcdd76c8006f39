#!/usr/bin/env bash
# Builds the property-list fuzz target with clang's sanitizers and runs it for RUNS inputs, starting from the
# program's own lists; exits non-zero on any crash, leak, hang or sanitizer report. Further arguments go to
# libFuzzer. Usage: scripts/fuzz.sh RUNS [libFuzzer flags...]
set -euo pipefail
runs=${1:?usage: $0 RUNS [libFuzzer flags...]}
shift
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DWRENFOLD_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz --target property_list_fuzzer -j "$(nproc)"

out=build-fuzz/fuzz
fuzzer=$out/property_list_fuzzer
# A fresh corpus each time, so that one run does not depend on what an earlier one found.
rm -rf "$out/corpus"
"$fuzzer" --write-seeds="$out/corpus"

export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1
"$fuzzer" -runs="$runs" -timeout=10 -artifact_prefix="$out/" "$@" "$out/corpus"
