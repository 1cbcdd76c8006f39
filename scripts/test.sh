#!/usr/bin/env bash
# Installs what is missing, builds Wrenfold and its tests with warnings as errors, and runs every test: unit
# and integration tests offscreen, end-to-end tests under a private Xvfb, the offscreen suite once more as one
# process in shuffled order under AddressSanitizer, and a short fuzzing run of the property-list reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs=$(nproc)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-test -j "$jobs"

fuzz_runs=20000
if ! scripts/fuzz.sh "$fuzz_runs" >build-test/fuzz.log 2>&1; then
    tail -n 60 build-test/fuzz.log
    echo "fuzzing found a problem; the whole log is build-test/fuzz.log" >&2
    exit 1
fi
echo "fuzzing: $fuzz_runs property lists read without a finding"

# The kernel's refusal to follow a link planted in a shared folder is Debian's default; some sandboxes boot without it.
sysctl -qw fs.protected_symlinks=1 2>/dev/null || true
(cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" --timeout 300)

# The tests must not lean on each other, on their order or on the folder they run in: here they share one
# process, run shuffled and repeated, from a folder that already holds a file of the name the save dialog
# suggests, and AddressSanitizer checks every run's end as well as its middle.
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" >/dev/null
cmake --build build-asan -j "$jobs" --target wrenfold_tests
stray=$(mktemp -d)
trap 'rm -rf "$stray"' EXIT
printf 'kept\n' >"$stray/merged_patches.syx"
root=$PWD
(cd "$stray" && QT_QPA_PLATFORM=offscreen LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" \
    "$root/build-asan/tests/wrenfold_tests" --gtest_shuffle --gtest_repeat=5 --gtest_brief=1)
if [[ "$(ls -A "$stray")" != merged_patches.syx || "$(cat "$stray/merged_patches.syx")" != kept ]]; then
    echo "a test changed its working folder: $(ls -A "$stray")" >&2
    exit 1
fi
