#!/usr/bin/env bash
# usage: cmake_package_test.sh BUILD_DIR SOURCE_DIR
# Installs the build into a scratch prefix, checks the installed layout, and
# builds examples/cmake-project against it with Ninja -j2: each source compiles
# into a folder of its own, a second build does nothing, and touching an
# included file rebuilds only the sources that include it (and every source
# lints clean under -Werror). Then the check before the compile: a warning is
# shown and passes by default, fails under WERROR and LINT_OPTIONS -Werror,
# passes unseen when LINT_OPTIONS turn its check off; an error fails with
# qellint's place of it, before qelc runs, also under the old word LINT; NO_LINT
# leaves qellint out.
set -euo pipefail
build=$1 source=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
installed=(lib/cmake/qelc/qelcConfig.cmake share/doc/qelc/daf.md share/doc/qelc/examples/device.daf)
for program in qelc qeldump qellint; do
  [ ! -x "$build/$program" ] || installed+=("bin/$program" "share/man/man1/$program.1")
done
for file in "${installed[@]}"; do
  [ -f "$scratch/prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done

cp -R "$source/examples/cmake-project" "$scratch/project"
cmake -S "$scratch/project" -B "$scratch/build" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
# The sources that one build compiled, sorted, on one line.
compiled() {
  cmake --build "$scratch/build" -j2 | sed -n 's/^.*Compiling [A-Z]* source //p' | sort | paste -sd' ' -
}
expect() {
  [ "$2" = "$3" ] || { echo "$1: compiled '$3', expected '$2'"; exit 1; }
}
expect "first build" "devices/qx100.daf devices/qx200.daf devices/qx300.daf softip/library.ipf" "$(compiled)"
for output in dab_files/devices/qx100/qx100.dab dab_files/devices/qx200/qx200.dab \
  dab_files/devices/qx300/qx300.dab ipb_files/softip/library/library.ipb; do
  [ -f "$scratch/build/$output" ] && [ -f "$scratch/build/$(dirname "$output")/Out.txt" ] ||
    { echo "missing: $output or the Out.txt beside it"; exit 1; }
done
expect "second build" "" "$(compiled)"
touch "$scratch/project/common/pins.inc"
expect "after touching common/pins.inc" "devices/qx100.daf devices/qx200.daf" "$(compiled)"
touch "$scratch/project/common/memory.inc"
expect "after touching common/memory.inc" "devices/qx300.daf" "$(compiled)"

mkdir -p "$scratch/lint"
cat >"$scratch/lint/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(qelc_lint NONE)
find_package(qelc 1.0 REQUIRED)
qelc_add_dab(warned_lint warned.daf)
qelc_add_dab(warned_werror warned.daf WERROR OUTPUT_DIRECTORY strict)
qelc_add_dab(warned_options warned.daf LINT_OPTIONS -Werror OUTPUT_DIRECTORY options)
qelc_add_dab(warned_off warned.daf LINT_OPTIONS -Werror -Wno-section-repeated OUTPUT_DIRECTORY off)
qelc_add_dab(broken_lint broken.daf LINT)
qelc_add_dab(broken_unchecked broken.daf NO_LINT OUTPUT_DIRECTORY unchecked)
CMAKE
# Two Alias sections: the second overwrites the first (warning section-repeated).
printf 'Device D\nAlias { }\nAlias { }\n' >"$scratch/lint/warned.daf"
printf 'Device D\nAlias {\n  When DEV is :\n}\n' >"$scratch/lint/broken.daf"
cmake -S "$scratch/lint" -B "$scratch/lint-build" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
# Builds one target; prints its output and whether it passed.
build_target() {
  if cmake --build "$scratch/lint-build" --target "$1" >"$scratch/out" 2>&1; then
    echo passed
  else
    echo failed
  fi
}
expect_build() {  # target, passed|failed, a text the output must hold
  result=$(build_target "$1")
  [ "$result" = "$2" ] && grep -qF -- "$3" "$scratch/out" ||
    { echo "$1: $result, expected $2 with '$3' in:"; cat "$scratch/out"; exit 1; }
}
expect_build warned_lint passed "warned.daf:3:1: warning:"
[ -f "$scratch/lint-build/warned_lint/warned/warned.dab" ] || { echo "LINT: no warned.dab"; exit 1; }
expect_build warned_werror failed "warned.daf:3:1: error:"
[ ! -f "$scratch/lint-build/strict/warned/warned.dab" ] || { echo "WERROR: warned.dab written"; exit 1; }
expect_build warned_options failed "warned.daf:3:1: error:"
expect_build warned_off passed "Compiling DAF source warned.daf"
! grep -q "warned.daf:3:1" "$scratch/out" || { echo "warned_off: a warning shown"; cat "$scratch/out"; exit 1; }
expect_build broken_lint failed "broken.daf:3:"
grep -q "qellint .*broken.daf: exit status 1" "$scratch/out" || { cat "$scratch/out"; exit 1; }
expect_build broken_unchecked failed "qelc $scratch/lint/broken.daf: exit status 1"
! grep -q "qellint" "$scratch/out" || { echo "NO_LINT: qellint ran"; cat "$scratch/out"; exit 1; }
echo "cmake package: install layout, parallel build, no-op rebuild, include tracking, the check by default, NO_LINT, LINT_OPTIONS and WERROR checked"
