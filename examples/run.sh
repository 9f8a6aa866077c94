#!/usr/bin/env bash
# Builds qelc, qellint and qeldump (release) when needed and compiles every example source
# of this folder, each in its own scratch copy of the folder under out/examples/,
# then shows what the run printed and which files it wrote, and lints them all.
# Arguments are passed on to qelc after the source name (for example -d).
set -euo pipefail
examples=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$examples")
build=$root/build

# The build configures qeldump and qellint too, which need the headers of CLI11 and RapidJSON.
if ! command -v cmake >/dev/null || ! command -v g++ >/dev/null || ! command -v make >/dev/null ||
    [ ! -f /usr/include/CLI/CLI.hpp ] || [ ! -f /usr/include/rapidjson/writer.h ]; then
  bash "$root/.ci/install-packages" cmake g++ make libcli11-dev rapidjson-dev
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target qelc qellint qeldump >/dev/null
qelc=$build/qelc

failed=0
shopt -s nullglob nocaseglob
for source in "$examples"/*.daf "$examples"/*.ipf; do
  name=$(basename "$source")
  scratch=$root/out/examples/$name
  rm -rf "$scratch"
  mkdir -p "$scratch"
  cp -R "$examples"/. "$scratch"
  rm -f "$scratch/run.sh"
  before=$(cd "$scratch" && find . -type f | sort)

  echo "== qelc $name${*:+ $*}"
  status=0
  (cd "$scratch" && "$qelc" "$name" "$@" >"$root/out/examples/stdout" 2>"$root/out/examples/stderr") ||
    status=$?
  echo "-- standard output:"
  cat "$root/out/examples/stdout"
  echo "-- standard error:"
  cat "$root/out/examples/stderr"
  echo "== exit status $status"
  echo "== files written in ${scratch#"$root"/}:"
  after=$(cd "$scratch" && find . -type f | sort)
  comm -13 <(echo "$before") <(echo "$after") | while read -r file; do
    printf '   %-24s %10d bytes\n' "${file#./}" "$(stat -c %s "$scratch/$file")"
  done
  [ "$status" -eq 0 ] || failed=1
done
echo "== qellint on every example"
(cd "$examples" && "$build/qellint" *.daf *.ipf) || failed=1
exit "$failed"
