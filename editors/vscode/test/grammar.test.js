// Tokenizes the examples, the documents' DAF and IPF code blocks and a few
// tricky texts with the extension's grammars, and checks every token against an
// independent reading of the language (reference.js): each kind of token (a
// section keyword, a condition operator, a string, a comment, a directive...)
// must carry its scope at every one of its characters, and a plain word none.
'use strict';

const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const test = require('node:test');
const { createRegistry, tokenizeLines, extensionDir } = require('./textmate');
const { tokenize, assignRoles } = require('./reference');

const repository = path.join(extensionDir, '..', '..');

// The scope (prefix) each role must carry.
const EXPECTED = {
  comment: 'comment.line.double-slash',
  string: 'string.quoted.single',
  number: 'constant.numeric.integer.decimal',
  hex: 'constant.numeric.integer.hexadecimal',
  float: 'constant.numeric.float',
  variable: 'variable.language.condition',
  logical: 'keyword.operator.logical',
  comparison: 'keyword.operator.comparison',
  when: 'keyword.control.conditional.when',
  if: 'keyword.control.conditional.if',
  else: 'keyword.control.conditional.else',
  always: 'keyword.control.conditional.always',
  'condition-end': 'punctuation.separator.colon',
  section: 'keyword.other.section',
  device: 'keyword.other.device',
  'device-name': 'entity.name.type.device',
  statement: 'keyword.other.statement',
  rev: 'storage.modifier',
  reserved: 'constant.language.reserved',
  'module-name': 'entity.name.type.module',
  block: 'keyword.other.block',
  'macro-name': 'keyword.other.macro-name',
};
const DELIMITER_SCOPES = {
  '{': 'punctuation.section.block.begin', '}': 'punctuation.section.block.end',
  '[': 'punctuation.section.brackets.begin', ']': 'punctuation.section.brackets.end',
  '(': 'punctuation.section.parens.begin', ')': 'punctuation.section.parens.end',
  ':': 'punctuation.separator.colon', ',': 'punctuation.separator.comma',
  ';': 'punctuation.terminator', '|': 'keyword.operator.alternative',
  '=': 'keyword.operator.assignment', '?': 'keyword.operator', '+': 'keyword.operator',
  '-': 'keyword.operator', '*': 'keyword.operator',
};
// A plain word is left uncoloured: none of these may cover it.
const HIGHLIGHTS = ['keyword', 'string', 'comment', 'constant', 'variable', 'entity', 'storage',
  'punctuation', 'support', 'invalid', 'meta.preprocessor'];
const DIRECTIVE_ARGUMENT = {
  include: 'string.', define: 'entity.name.constant.preprocessor',
  ifdef: 'entity.name.constant.preprocessor', ifndef: 'entity.name.constant.preprocessor',
};

// Texts that the examples do not show: the tokenizer's corner cases.
const TRICKY = {
  daf: `Device QX10 // a comment after the device's name
#includes "pins.inc" and words that are ignored
#define PKG 'LQFP48'
  #IFNDEF PKG
#else
#endif
Alias {
  When PACKAGE is PKG and (PN[3] isnot 'it\\'s' or DEV isnotin []) :
    abc//def : 'x',it's : 'y'// a comment right after a string
    'a string
#define INSIDE_A_STRING 1
over lines \\' and \\\\' : P7.NAME,
    is : and
}
Pin { PA0 : { if DEV is 'A' IoType : X else if GLC Y : Z else W : V } }
StringQuote { Alias { When PACKAGE } 'x' 12 Decl }
Initialize { WHEN : P7.displayname = 'Reset' : rsvd ; p8.PinEdit = 1 ; }
DesignEpilog { always : x?y+z*2 Equation , REV : 'y' }
`,
  ipf: `SoftIPCategory { 1.5 : A = 'a' .5 : B = 'b' 2. : C = 'c' 3 : D = 'd' }
42 {
  Inputs : { clk : wire : in : 1 : ; }
  macros : { MACRONAME ( a , b ) { _when IN_NUM [ 2 ] is '1' : 'x <= 0x1F;' , 'y' } }
  Declaration : { reg : r : 0x10 ; }
}
`,
};

function corpus() {
  const texts = [];
  const add = (language, name, text) => texts.push({ language, name, text });
  const walk = (dir) => {
    for (const entry of fs.readdirSync(dir, { withFileTypes: true })) {
      const file = path.join(dir, entry.name);
      if (entry.isDirectory()) walk(file);
      // The include files of the examples are all included by DAF sources.
      const language = { '.daf': 'daf', '.inc': 'daf', '.ipf': 'ipf' }[path.extname(entry.name)];
      if (entry.isFile() && language) add(language, path.relative(repository, file), fs.readFileSync(file, 'utf8'));
    }
  };
  walk(path.join(repository, 'examples'));
  const docs = path.join(repository, 'docs');
  for (const name of fs.readdirSync(docs).filter((n) => n.endsWith('.md')).sort()) {
    const lines = fs.readFileSync(path.join(docs, name), 'utf8').split('\n');
    for (let i = 0; i < lines.length; i++) {
      const fence = /^```(daf|ipf)\b/.exec(lines[i]);
      if (!fence) continue;
      const end = lines.indexOf('```', i + 1);
      add(fence[1], `docs/${name}:${i + 2}`, lines.slice(i + 1, end).join('\n') + '\n');
      i = end;
    }
  }
  add('daf', 'tricky DAF text', TRICKY.daf);
  add('ipf', 'tricky IPF text', TRICKY.ipf);
  return texts;
}

function scopesAt(lines, line, column) {
  const token = lines[line].find((t) => t.start <= column && column < t.end);
  return token ? token.scopes : [];
}

const has = (scopes, prefix) => scopes.some((scope) => scope.startsWith(prefix));

// Each character of the token with the scope prefix it needs ('' for none).
function expectations(token) {
  if (token.role === 'directive') {
    const { directive } = token;
    const wanted = [];
    for (let column = directive.start; column < directive.end; column++) {
      wanted.push({ line: token.line, column, prefix: 'keyword.control.directive' });
    }
    if (directive.argument && DIRECTIVE_ARGUMENT[directive.keyword]) {
      const { start, text } = directive.argument;
      for (let column = start; column < start + text.length; column++) {
        wanted.push({ line: token.line, column, prefix: DIRECTIVE_ARGUMENT[directive.keyword] });
      }
    }
    return wanted;
  }
  let prefix = EXPECTED[token.role];
  if (token.role === 'delimiter') prefix = DELIMITER_SCOPES[token.text];
  if (token.role === 'word') prefix = '';
  const dot = token.text.indexOf('.');
  let escaped = false;
  const wanted = token.chars.map(({ c, line, column }, index) => {
    let wantedPrefix = prefix;
    if (token.role === 'attribute') {
      wantedPrefix = index < dot ? 'variable.other.pin' : index === dot ? 'punctuation.accessor'
        : 'entity.other.attribute-name';
    }
    // A backslash in a string and the character it takes.
    const escape = token.role === 'string' && (escaped || (c === '\\' && index > 0));
    escaped = escape && !escaped;
    if (escape) wantedPrefix = 'constant.character.escape';
    return { c, line, column, prefix: wantedPrefix };
  });
  return wanted.filter(({ c }) => c !== '\n');
}

test('the grammars give each kind of token its scope on the examples and documents', async () => {
  const registry = await createRegistry();
  const grammars = { daf: await registry.loadGrammar('source.daf'), ipf: await registry.loadGrammar('source.ipf') };
  const seen = new Set();
  const failures = [];
  for (const { language, name, text } of corpus()) {
    const lines = tokenizeLines(grammars[language], text);
    for (const token of assignRoles(tokenize(text), language)) {
      seen.add(token.role === 'delimiter' ? `delimiter ${token.text}` : token.role);
      if (token.role === 'string' && token.text.includes('\\')) seen.add('escape');
      for (const { line, column, prefix } of expectations(token)) {
        const scopes = scopesAt(lines, line, column);
        const ok = prefix ? has(scopes, prefix) : !HIGHLIGHTS.some((family) => has(scopes, family));
        if (!ok) {
          failures.push(`${name}, line ${line + 1}, column ${column + 1}: ${token.role} ` +
            `${JSON.stringify(token.text)} needs ${prefix || 'no highlight'}, has ${scopes.join(' ')}`);
          break;
        }
      }
    }
  }
  assert.deepStrictEqual(failures.slice(0, 20), []);

  const roles = [...Object.keys(EXPECTED), 'word', 'directive', 'attribute', 'escape',
    ...Object.keys(DELIMITER_SCOPES).map((c) => `delimiter ${c}`)];
  assert.deepStrictEqual(roles.filter((role) => !seen.has(role)), [], 'kinds of token never met');
});
