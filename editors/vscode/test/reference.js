// An independent reading of a DAF or IPF text, written from the language's
// rules rather than from the grammars: the preprocessor's directive lines, the
// tokenizer's words, strings, numbers, condition variables, delimiters and
// comments, and the role each word plays (section keyword, condition operator,
// module name...). The grammar test checks the highlighting against it.
'use strict';

const DELIMITERS = ',?;:[]{}|+-=()*';
const WHITE_SPACE = ' \t\n';
const CONDITION_VARIABLES = ['GLC', 'IPN', 'PN', 'PACKAGE', 'DEV', 'DEVBIN', 'DSI', 'IN_NUM', 'OUT_NUM'];
const DIRECTIVES = ['include', 'define', 'ifdef', 'ifndef', 'else', 'endif'];

const DAF_SECTIONS = [
  'StringQuote', 'PinNumberByPackage', 'Alias', 'Extensions', 'TypeCategory', 'TypeShortHand',
  'Initialize', 'DesignProlog', 'DesignEpilog', 'Group', 'OutputSyntax', 'Pin', 'TypeConversion',
  'DeviceSpecificInfoTable', 'DeviceSpecificInfo', 'HardwareSupportTable', 'HardwareSupport',
  'PackageInfoTable', 'VoltageRangeTable', 'TemplateLink', 'CCodeFileName', 'CCodeExample',
  'QelConfig', 'MemoryMap',
];
const DAF_STATEMENTS = [
  'PTerm', 'Decl', 'Equation', 'PropertyTab', 'DefaultSigName', 'DeclWOPinNum', 'DeclWithPinNum',
  'DeclWOMainFlash', 'DeclWMainFlash', 'Equation_Req', 'Action',
];
const INITIALIZE_ATTRIBUTES = ['name', 'nchange', 'PinEdit', 'reserve', 'displayname'];
const IPF_BLOCKS = ['Module', 'Input', 'Output', 'Declaration', 'BusExtName', 'Macro', 'Equation'];

const lower = (word) => word.toLowerCase();
const oneOf = (list) => new Set(list.map(lower));
const conditionVariables = oneOf(CONDITION_VARIABLES);
const dafSections = oneOf(DAF_SECTIONS);
const dafStatements = oneOf(DAF_STATEMENTS);
const initializeAttributes = oneOf(INITIALIZE_ATTRIBUTES);

// A directive line: its first word is # and a directive keyword, of which only
// the keyword's length is compared. Returns { keyword, start, end, argument }.
function directiveOf(line) {
  const match = /^[ \t]*(#[^ \t]*)(?:[ \t]+([^ \t]+))?/.exec(line);
  if (!match) return null;
  const keyword = DIRECTIVES.find((name) => lower(match[1]).startsWith('#' + name));
  if (!keyword) return null;
  const start = match[0].indexOf('#');
  const argument = match[2] === undefined ? null :
    { text: match[2], start: match[0].length - match[2].length };
  return { keyword, start, end: start + 1 + keyword.length, argument };
}

// The tokens of a text, each { kind, text, line, column, chars } with kind one of
// comment, string, number, variable, delimiter, word. Directive lines are
// handed out as kind directive and are invisible to the tokenizer, as they are
// after preprocessing. chars holds each character with its line and column.
function tokenize(text) {
  const lines = text.split('\n');
  const tokens = [];
  // Characters the tokenizer reads: directive lines left out, their positions kept.
  const chars = [];
  lines.forEach((line, lineIndex) => {
    const directive = directiveOf(line);
    if (directive) {
      tokens.push({ kind: 'directive', text: line, line: lineIndex, column: 0, directive });
      return;
    }
    for (let column = 0; column < line.length; column++) chars.push({ c: line[column], line: lineIndex, column });
    chars.push({ c: '\n', line: lineIndex, column: line.length });
  });

  let i = 0;
  const at = (index) => (index < chars.length ? chars[index].c : null);
  const emit = (kind, from, to) => {
    const span = chars.slice(from, to);
    tokens.push({
      kind,
      text: span.map((x) => x.c).join(''),
      line: span[0].line,
      column: span[0].column,
      chars: span,
    });
  };
  while (i < chars.length) {
    const c = at(i);
    if (WHITE_SPACE.includes(c)) { i++; continue; }
    if (DELIMITERS.includes(c)) { emit('delimiter', i, i + 1); i++; continue; }
    if (c === "'") {
      let j = i + 1;
      while (j < chars.length && at(j) !== "'") j += at(j) === '\\' ? 2 : 1;
      j = Math.min(j + 1, chars.length);
      emit('string', i, j);
      i = j;
      continue;
    }
    let j = i;
    while (j < chars.length && !WHITE_SPACE.includes(at(j)) && !DELIMITERS.includes(at(j))) {
      j++;
      if (j - i === 2 && at(i) === '/' && at(i + 1) === '/') {
        while (j < chars.length && at(j) !== '\n') j++;
        break;
      }
    }
    const word = chars.slice(i, j).map((x) => x.c).join('');
    let kind = 'word';
    if (word.startsWith('//')) kind = 'comment';
    else if (conditionVariables.has(lower(word))) kind = 'variable';
    else if (/^[0-9]+$/.test(word)) kind = 'number';
    emit(kind, i, j);
    i = j;
  }
  return tokens.sort((a, b) => a.line - b.line || a.column - b.column);
}

// Gives each token a role: the tokenizer's kind, refined by where the token
// stands (brace depth, inside a condition, after Device...).
function assignRoles(tokens, language) {
  let depth = 0;
  let condition = null;  // 'colon': ends at ':'; 'line': ends with its line
  let conditionLine = -1;
  let freeTextDepth = -1;  // StringQuote: no keyword counts inside
  let previous = null;
  let moduleBody = false;
  for (const token of tokens) {
    token.role = token.kind;
    if (token.kind === 'directive' || token.kind === 'comment') continue;
    if (condition === 'line' && token.line !== conditionLine) condition = null;
    const word = lower(token.text);
    if (token.kind === 'delimiter') {
      if (condition === 'colon' && token.text === ':') token.role = 'condition-end';
      if (token.text === ':' || token.text === '{' || token.text === '}') condition = null;
      if (token.text === '{') depth++;
      if (token.text === '}') {
        depth--;
        if (depth <= freeTextDepth) freeTextDepth = -1;
      }
    } else if (condition) {
      if (word === 'and' || word === 'or') token.role = 'logical';
      else if (['is', 'isnot', 'isin', 'isnotin'].includes(word)) token.role = 'comparison';
    } else if (freeTextDepth >= 0) {
      if (token.kind === 'variable') token.role = 'word';
    } else if (language === 'daf') {
      roleInDaf(token, word, depth, previous);
      if (token.role === 'when') condition = 'colon';
      if (token.role === 'if') { condition = 'line'; conditionLine = token.line; }
      if (word === 'stringquote' && depth === 0) freeTextDepth = 0;
    } else {
      if (depth === 0) moduleBody = word !== 'softipcategory';
      roleInIpf(token, word, depth, moduleBody);
      if (token.role === 'when') condition = 'colon';
    }
    if (token.kind === 'variable' && !condition) token.role = 'word';
    if (token.role === 'word' && depth > 0 && /^0x[0-9a-f]+$/.test(word)) token.role = 'hex';
    previous = token;
  }
  return tokens;
}

function roleInDaf(token, word, depth, previous) {
  if (token.kind !== 'word') return;
  if (depth === 0) {
    if (word === 'device') token.role = 'device';
    else if (previous && previous.role === 'device' && previous.line === token.line) token.role = 'device-name';
    else if (dafSections.has(word)) token.role = 'section';
    return;
  }
  const dot = token.text.indexOf('.');
  if (word === 'when') token.role = 'when';
  else if (word === 'if') token.role = 'if';
  else if (word === 'else') token.role = 'else';
  else if (word === 'always') token.role = 'always';
  else if (word === 'rev') token.role = 'rev';
  else if (dafStatements.has(word)) token.role = 'statement';
  else if (word.startsWith('rsv')) token.role = 'reserved';
  else if (dot > 0 && initializeAttributes.has(word.slice(dot + 1))) token.role = 'attribute';
}

function roleInIpf(token, word, depth, moduleBody) {
  if (token.kind === 'number' && depth === 0) token.role = 'module-name';
  if (token.kind !== 'word') return;
  if (depth === 0) token.role = word === 'softipcategory' ? 'section' : 'module-name';
  else if (depth === 1 && !moduleBody && /^([0-9]+\.[0-9]*|\.[0-9]+)$/.test(word)) token.role = 'float';
  else if (depth === 1 && moduleBody && IPF_BLOCKS.some((block) => word.startsWith(lower(block)))) token.role = 'block';
  else if (depth >= 2 && word === 'macroname') token.role = 'macro-name';
  else if (depth >= 2 && word === '_when') token.role = 'when';
}

module.exports = { tokenize, assignRoles, directiveOf };
