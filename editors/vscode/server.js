// Which language server to start, from the extension's settings. Kept apart
// from the editor's API so that it can be tested with plain node.
'use strict';

const path = require('node:path');

// The command for the settings qel.server.path and qel.server.args: null when
// the path is empty (highlighting only). A leading ~ stands for the home folder;
// a bare name is left to the PATH.
function serverCommand(serverPath, args, home) {
  const trimmed = (serverPath || '').trim();
  if (!trimmed) return null;
  let command = trimmed;
  if (home && (trimmed === '~' || trimmed.startsWith('~/'))) command = path.join(home, trimmed.slice(1));
  return { command, args: Array.isArray(args) ? args.map(String) : [] };
}

module.exports = { serverCommand };
