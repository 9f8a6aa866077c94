#!/usr/bin/env bash
# Builds every program (release) when needed, showing the build as it goes, and
# compiles every example source of this folder, each in its own scratch copy of
# the folder under out/examples/, then shows what the run printed and every file
# it wrote (new, or written again over the copy's), and lints them all.
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
echo "== configuring the build in ${build#"$root"/}/"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
programs=(qelc qellint qeldump qel qel-language-server)
echo "== building ${programs[*]} (the first build takes a minute or two)"
cmake --build "$build" -j2 --target "${programs[@]}"
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
  # The copies are dated long ago, so that whatever the run writes, over a copy
  # or anew, is newer than that, however coarse the clock of the file system.
  find "$scratch" -type f -exec touch -d 2000-01-01 {} +

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
  (cd "$scratch" && find . -type f -newermt 2000-01-02 | sort) | while read -r file; do
    grep -qxF "$file" <<<"$before" && again=" (written over the copy)" || again=""
    printf '   %-24s %10d bytes%s\n' "${file#./}" "$(stat -c %s "$scratch/$file")" "$again"
  done
  [ "$status" -eq 0 ] || failed=1
done
echo "== qellint on every example"
(cd "$examples" && "$build/qellint" *.daf *.ipf) || failed=1
exit "$failed"
