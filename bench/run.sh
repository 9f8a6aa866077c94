#!/usr/bin/env bash
# Benchmarks the built qelc on large generated sources.
#   bench/run.sh [RUNS]      (default 5 runs per input)
# For each input it prints the source size, the median wall time, MB/s of source,
# the peak memory, and the ratio of the median time at 4n to the time at n; it
# also times `wc -w` on the largest source as the cost of reading and splitting
# the bytes, and prints qelc's time on that source as a multiple of it.
set -euo pipefail

runs=${1:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QELC_BENCH_BUILD:-$root/build}
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target qelc >/dev/null
qelc=$build/qelc
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# median of the numbers on standard input
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure DIR FILE: runs qelc RUNS times; prints "median_seconds peak_kb"
measure() {
  local dir=$1 file=$2 times=() peak=0
  for ((i = 0; i < runs; i++)); do
    local out
    out=$(cd "$dir" && /usr/bin/time -f '%e %M' "$qelc" "$file" 2>&1 >/dev/null | tail -n 1)
    times+=("${out% *}")
    local kb=${out#* }
    ((kb > peak)) && peak=$kb
  done
  printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | median)" "$peak"
}

printf '%-18s %10s %10s %9s %10s %8s\n' input "size MB" "median s" "MB/s" "peak MB" "4n/n"
largest="" largest_time=0 largest_size=0
for kind in softip-inputs softip-modules softip-categories defines daf-tables; do
  small=$work/$kind-n big=$work/$kind-4n
  file=$(python3 "$root/bench/generate.py" "$kind" 1 "$small")
  python3 "$root/bench/generate.py" "$kind" 4 "$big" >/dev/null
  read -r t1 _ < <(measure "$small" "$file")
  read -r t4 peak < <(measure "$big" "$file")
  size=$(stat -c %s "$big/$file")
  awk -v k="$kind" -v s="$size" -v t="$t4" -v t1="$t1" -v p="$peak" 'BEGIN {
    mb = s / 1048576
    printf "%-18s %10.1f %10.3f %9.1f %10.1f %8.2f\n", k, mb, t, (t > 0 ? mb / t : 0), p / 1024, (t1 > 0 ? t / t1 : 0)
  }'
  if ((size > largest_size)); then largest=$big/$file largest_size=$size largest_time=$t4; fi
done

wc_times=()
for ((i = 0; i < runs; i++)); do
  wc_times+=("$( { /usr/bin/time -f '%e' wc -w "$largest" >/dev/null; } 2>&1 | tail -n 1)")
done
wc_time=$(printf '%s\n' "${wc_times[@]}" | median)
awk -v f="$(basename "$largest")" -v w="$wc_time" -v q="$largest_time" 'BEGIN {
  printf "\nwc -w on %s: %.3f s; qelc: %.3f s = %.1f x wc -w\n", f, w, q, (w > 0 ? q / w : 0)
}'
