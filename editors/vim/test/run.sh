#!/usr/bin/env bash
# Runs test/syntax.vim in a headless Neovim, or in Vim where Neovim is missing.
# Without either the test is skipped (exit 77), unless QELC_REQUIRE_EDITOR_TESTS
# is set, as in CI. To install one: apt-get install neovim.
set -euo pipefail
test_dir=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp)
trap 'rm -f "$out"' EXIT
export QEL_VIM_TEST_OUT=$out
if command -v nvim >/dev/null; then
  editor=(nvim --headless -u NONE -i NONE -n)
elif command -v vim >/dev/null; then
  editor=(vim -N -u NONE -i NONE -n -es)
elif [ -n "${QELC_REQUIRE_EDITOR_TESTS:-}" ]; then
  echo "cannot run: neither nvim nor vim is installed" >&2
  exit 1
else
  echo "skipped: neither nvim nor vim is installed (apt-get install neovim)"
  exit 77
fi
echo "${editor[0]}: $("${editor[0]}" --version | head -1)"
timeout 60 "${editor[@]}" -S "$test_dir/syntax.vim" </dev/null >/dev/null 2>&1 || true
if [ "$(tail -n 1 "$out")" != done ]; then
  echo "the test script stopped before its end" >&2
  exit 1
fi
if [ "$(wc -l <"$out")" -gt 1 ]; then
  head -n -1 "$out" >&2
  exit 1
fi
echo "all syntax checks passed"
