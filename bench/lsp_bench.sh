#!/usr/bin/env bash
# The language server's latency, request times and memory
# (bench/lsp_bench.py), on an optimised build without sanitizers in
# build-bench/ (or $QELC_BENCH_BUILD), with qellint on the same sources.
#   bench/lsp_bench.sh [CHANGES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QELC_BENCH_BUILD:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQELC_SANITIZE=OFF -DQELC_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j2 --target qel-language-server qellint >/dev/null
exec python3 "$root/bench/lsp_bench.py" "$build/qel-language-server" "$build/qellint" \
  "${1:-40}" "$root/tests/cases" "$root/examples"
