#!/usr/bin/env bash
# Packages the extension into a .vsix file: qel-VERSION.vsix beside this
# script, or the path given. Installs the pinned npm packages first when they
# are missing (npm ci; no package needs its install script here), and checks that the package holds the client library
# that extension.js loads.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
version=$(node -p "require('$here/package.json').version")
out=$(realpath -m "${1:-$here/qel-$version.vsix}")
cd "$here"
[ -d node_modules/@vscode/vsce ] || npm ci --ignore-scripts --no-audit --no-fund
npx --no-install vsce package --skip-license --allow-missing-repository --out "$out" >/dev/null

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
python3 -m zipfile -e "$out" "$unpacked"
for file in extension.js server.js language-configuration.json syntaxes/daf.tmLanguage.json \
    syntaxes/ipf.tmLanguage.json syntaxes/qel.tmLanguage.json; do
  [ -f "$unpacked/extension/$file" ] || { echo "$out lacks $file" >&2; exit 1; }
done
node -e "require.resolve('vscode-languageclient/node', { paths: [process.argv[1]] })" \
  "$unpacked/extension"
echo "$out"
