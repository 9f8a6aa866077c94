#!/usr/bin/env bash
# Benchmarks qelc and qellint on large generated sources, and qeldump on the
# files qelc writes.
#   bench/run.sh [RUNS [KIND ...]]    (default: 5 runs of every kind of source)
# Builds an optimised qelc without sanitizers in build-bench/ (or in
# $QELC_BENCH_BUILD), then runs bench/bench.py, which generates the sources in a
# scratch folder, times them and prints the table described there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${QELC_BENCH_BUILD:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQELC_SANITIZE=OFF -DQELC_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j2 --target qelc qeldump qellint >/dev/null
exec python3 "$root/bench/bench.py" "$build/qelc" "${@:-5}"
