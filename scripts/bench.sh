#!/usr/bin/env bash
# Builds Wrenfold in Release into build-bench and runs every benchmark, printing one table: the program's
# median time, a reference's median time from the same run, their ratio, and the target. Installs what it
# lacks; needs about 3 GiB free under TMPDIR (default /tmp).
# Usage: scripts/bench.sh [REPEATS]  (timed runs per case, default 7; five times as many for start-up)
set -euo pipefail
cd "$(dirname "$0")/.."
repeats=${1:-7}

scripts/install-deps.sh bench
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build-bench -j "$(nproc)" --target wrenfold wrenfold_bench bench_startup bench_plain_window \
    bench_plain_drop bench_empty_window >/dev/null

data=$(mktemp -d "${TMPDIR:-/tmp}/wrenfold-bench.XXXXXX")
trap 'rm -rf "$data"' EXIT
# Qt warns on every start without a runtime folder of the user's own; this one keeps the warning out of the table.
# Qt's file dialog keeps its history in the user's configuration: the runs keep theirs to themselves.
mkdir -m 700 "$data/runtime" "$data/config"
export XDG_RUNTIME_DIR="$data/runtime" XDG_CONFIG_HOME="$data/config"

bench=build-bench/bench
# A start takes some 40 ms, which a busy machine stretches by as much as a tenth either way; five times the
# runs cost a few seconds and keep the start-up ratio from swinging around its target.
startup_repeats=$((repeats * 5))
run() {
    echo "running: $*" >&2
    "$@"
}
{
    printf 'case\twrenfold\treference\tratio\ttarget\n'
    run "$bench/wrenfold_bench" merge-small "$data" "$repeats"
    run "$bench/wrenfold_bench" merge-large "$data" "$repeats"
    run "$bench/wrenfold_bench" drop "$data" "$repeats"
    run "$bench/bench_startup" "$startup_repeats" build-bench/wrenfold "$bench/bench_plain_window" \
        "$bench/bench_empty_window"
} | column -t -s $'\t'
echo "medians of $repeats runs ($startup_repeats for start-up) after a warm-up run; nproc $(nproc);" \
    "load average $(cut -d' ' -f1-3 /proc/loadavg)"
