// The language server command built from the extension's settings.
'use strict';

const assert = require('node:assert');
const test = require('node:test');
const { serverCommand } = require('../server');

test('an empty path starts no server', () => {
  assert.strictEqual(serverCommand('', [], '/home/u'), null);
  assert.strictEqual(serverCommand('  ', [], '/home/u'), null);
  assert.strictEqual(serverCommand(undefined, undefined, '/home/u'), null);
});

test('a path is used as given, ~ as the home folder', () => {
  assert.deepStrictEqual(serverCommand('qel-language-server', ['--log', 2], '/home/u'),
    { command: 'qel-language-server', args: ['--log', '2'] });
  assert.deepStrictEqual(serverCommand(' ~/bin/qel-language-server ', null, '/home/u'),
    { command: '/home/u/bin/qel-language-server', args: [] });
  assert.deepStrictEqual(serverCommand('/opt/q~/server', [], '/home/u'),
    { command: '/opt/q~/server', args: [] });
  assert.deepStrictEqual(serverCommand('~other/server', [], '/home/u'),
    { command: '~other/server', args: [] });
});
