#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds each corpus from the test cases and the
# examples, and runs every target for the given number of seconds (default 60).
# Fails on any crash, leak, sanitizer report or input that runs over a second.
#   fuzz/run.sh [SECONDS [TARGET...]]    (targets: preprocessor conditions daf ipf qeldump qellint lsp)
set -euo pipefail

seconds=${1:-60}
targets=("${@:2}")
[ ${#targets[@]} -gt 0 ] || targets=(preprocessor conditions daf ipf qeldump qellint lsp)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QELC_FUZZ_BUILD:-$root/build-fuzz}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DQELC_FUZZ=ON -DQELC_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target preprocessor_fuzz conditions_fuzz daf_fuzz ipf_fuzz \
  qeldump_fuzz qellint_fuzz lsp_fuzz qelc >/dev/null

# Seeds: every source file of the test cases and the examples, by kind.
seed() {  # seed TARGET PATTERN...
  local corpus=$build/corpus/$1 file
  shift
  mkdir -p "$corpus"
  for pattern in "$@"; do
    while IFS= read -r -d '' file; do
      # Named by content, so that the many dev.daf of the cases all survive.
      cp "$file" "$corpus/seed-$(sha1sum <"$file" | cut -c1-16)"
    done < <(find "$root/tests/cases" "$root/examples" -type f -name "$pattern" -print0)
  done
}
seed daf '*.daf'
seed ipf '*.ipf'
seed preprocessor '*.daf' '*.ipf' '*.inc' '*.h'
seed conditions '*.daf' '*.ipf'
seed qellint '*.daf' '*.ipf' '*.inc'
# The reader's seeds: the IPB files of the IPF sources, and the smallest DAB
# (an odd first byte, no patches, a pool of the empty text).
mkdir -p "$build/corpus/qeldump" "$build/ipb-seeds"
while IFS= read -r -d '' file; do
  rm -f "$build/ipb-seeds"/*
  cp "$file" "$build/ipb-seeds/s.ipf"
  (cd "$build/ipb-seeds" && "$build/qelc" s.ipf >/dev/null 2>&1) || true
  if [ -f "$build/ipb-seeds/s.ipb" ]; then
    cp "$build/ipb-seeds/s.ipb" "$build/corpus/qeldump/seed-$(sha1sum <"$build/ipb-seeds/s.ipb" | cut -c1-16)"
  fi
done < <(find "$root/tests/cases" "$root/examples" -type f -name '*.ipf' -print0)
printf '\001\000\000\000\000\000' >"$build/corpus/qeldump/seed-dab"
# The language server's seeds: a session per example and per case source, each
# framed as an editor sends it.
mkdir -p "$build/corpus/lsp"
python3 "$root/fuzz/lsp_seeds.py" "$build/corpus/lsp" "$root/examples" "$root/tests/cases"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
status=0
for target in "${targets[@]}"; do
  echo "== $target: $seconds s"
  if ! "$build/fuzz/${target}_fuzz" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
      -dict="$root/fuzz/qelc.dict" -artifact_prefix="$build/artifacts/$target-" \
      -print_final_stats=1 "$build/corpus/$target" >"$build/$target.log" 2>&1; then
    echo "FAILED: $target (see $build/$target.log and $build/artifacts/)"
    tail -n 40 "$build/$target.log"
    status=1
  fi
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
done
exit $status
