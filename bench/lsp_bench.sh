#!/usr/bin/env bash
# The language server's latency and memory (bench/lsp_bench.py), on an
# optimised build without sanitizers in build-bench/ (or $QELC_BENCH_BUILD).
#   bench/lsp_bench.sh [CHANGES]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QELC_BENCH_BUILD:-$root/build-bench}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQELC_SANITIZE=OFF -DQELC_TESTS=OFF \
  >/dev/null
cmake --build "$build" -j2 --target qel-language-server >/dev/null
exec python3 "$root/bench/lsp_bench.py" "$build/qel-language-server" "$@"
