// Loads the extension's TextMate grammars the way the editor does (Oniguruma
// regular expressions, grammars found by scope name through package.json) and
// tokenizes whole texts with them.
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const oniguruma = require('vscode-oniguruma');
const textmate = require('vscode-textmate');

const extensionDir = path.join(__dirname, '..');

function grammarPaths() {
  const manifest = JSON.parse(fs.readFileSync(path.join(extensionDir, 'package.json'), 'utf8'));
  const paths = new Map();
  for (const grammar of manifest.contributes.grammars) {
    paths.set(grammar.scopeName, path.join(extensionDir, grammar.path));
  }
  return paths;
}

async function createRegistry() {
  const wasm = fs.readFileSync(require.resolve('vscode-oniguruma/release/onig.wasm'));
  await oniguruma.loadWASM(wasm.buffer.slice(wasm.byteOffset, wasm.byteOffset + wasm.byteLength));
  const paths = grammarPaths();
  return new textmate.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
      createOnigString: (text) => new oniguruma.OnigString(text),
    }),
    loadGrammar: async (scopeName) => {
      const file = paths.get(scopeName);
      if (!file) return null;
      return textmate.parseRawGrammar(fs.readFileSync(file, 'utf8'), file);
    },
  });
}

// Returns, for each line of the text, the list of tokens
// { start, end, scopes } that the grammar gives it.
function tokenizeLines(grammar, text) {
  let state = textmate.INITIAL;
  return text.split('\n').map((line) => {
    const result = grammar.tokenizeLine(line, state);
    state = result.ruleStack;
    return result.tokens.map((token) => ({
      start: token.startIndex,
      end: Math.min(token.endIndex, line.length),
      scopes: token.scopes,
    }));
  });
}

module.exports = { createRegistry, tokenizeLines, extensionDir };
