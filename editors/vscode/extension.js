// Starts qel-language-server for DAF and IPF files and restarts it when its
// settings change. Highlighting, comments and brackets need no server: they
// come from the grammars and language-configuration.json.
'use strict';

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');
const { serverCommand } = require('./server');

const DOCUMENTS = ['file', 'untitled'].flatMap((scheme) =>
  ['daf', 'ipf'].map((language) => ({ scheme, language })));

let client = null;

async function start() {
  const settings = vscode.workspace.getConfiguration('qel.server');
  const server = serverCommand(settings.get('path'), settings.get('args'), process.env.HOME);
  if (!server) return;
  const executable = { command: server.command, args: server.args, transport: TransportKind.stdio };
  // The client reads the setting qel.trace.server by its id, qel.
  const candidate = new LanguageClient('qel', 'DAF/IPF language server',
    { run: executable, debug: executable }, { documentSelector: DOCUMENTS });
  try {
    await candidate.start();
    client = candidate;
  } catch (error) {
    const choice = await vscode.window.showWarningMessage(
      `The DAF/IPF language server '${server.command}' could not be started (${error.message}). ` +
      'Install qel-language-server on the PATH or set qel.server.path.', 'Open Settings');
    if (choice) vscode.commands.executeCommand('workbench.action.openSettings', 'qel.server');
  }
}

async function stop() {
  if (!client) return;
  const running = client;
  client = null;
  await running.stop();
}

async function restart() {
  await stop();
  await start();
}

function activate(context) {
  context.subscriptions.push(
    vscode.commands.registerCommand('qel.restartServer', restart),
    vscode.workspace.onDidChangeConfiguration((event) => {
      if (event.affectsConfiguration('qel.server')) restart();
    }));
  return start();
}

function deactivate() {
  return stop();
}

module.exports = { activate, deactivate };
