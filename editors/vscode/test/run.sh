#!/usr/bin/env bash
# Runs the extension's tests (node's test runner). Without node or the npm
# packages the tests are skipped (exit 77), unless QELC_REQUIRE_EDITOR_TESTS is
# set, as in CI. To install them: apt-get install nodejs npm; then
# (cd editors/vscode && npm ci --ignore-scripts).
set -euo pipefail
cd "$(dirname "$0")/.."
missing=
command -v node >/dev/null || missing="node is not installed (apt-get install nodejs npm)"
[ -n "$missing" ] || [ -d node_modules/vscode-textmate ] ||
  missing="the npm packages are not installed (run 'npm ci --ignore-scripts' in editors/vscode)"
if [ -n "$missing" ]; then
  if [ -n "${QELC_REQUIRE_EDITOR_TESTS:-}" ]; then
    echo "cannot run: $missing" >&2
    exit 1
  fi
  echo "skipped: $missing"
  exit 77
fi
exec node --test test/*.test.js
