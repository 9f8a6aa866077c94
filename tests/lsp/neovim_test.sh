#!/bin/sh
# Neovim, headless, as the language server's client (neovim_test.lua).
# usage: neovim_test.sh SERVER EDITORS_VIM
# Status 77 (skipped) when nvim is not installed.
if ! command -v nvim >/dev/null 2>&1; then
  echo "skipped: nvim is not installed (Debian package neovim)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QEL_SERVER=$1 QEL_EDITORS=$2 QEL_WORK=$work \
  timeout 60 nvim --headless -u NONE -i NONE -n \
  -c "luafile $(dirname "$0")/neovim_test.lua" </dev/null
