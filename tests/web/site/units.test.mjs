// The page's pure parts under node: documents as bytes (Latin-1, CR LF), the line length
// as the options panel reads it, the keys of the menus, the manual's example commands,
// and the truth table read back from what lumenark-cli writes.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { documentBytesFromText, latin1Input, textFromDocumentBytes, withExtension } from '../../../web/site/src/document-text.js';
import { lineWidthFromText, readLineLength } from '../../../web/site/src/line-length.js';
import { matchesKey, parseKey } from '../../../web/site/src/keys.js';
import { formulaCommands, kFormulaMenu } from '../../../web/site/src/formula-commands.js';
import { exampleFromHash, exampleHash, parseExampleCli } from '../../../web/site/src/manual-example.js';
import { parseTruthTable } from '../../../web/site/src/pictures/truth-table.js';
import { cli } from './harness.mjs';

test('every byte comes back as it was, line breaks become CR LF', () => {
  const all = Uint8Array.from({ length: 256 }, (_, i) => i).filter((b) => b !== 10 && b !== 13);
  assert.deepEqual(documentBytesFromText(textFromDocumentBytes(all)), all);
  const cases = [
    ['a\r\nb', 'a\nb', 'a\r\nb'], ['a\nb', 'a\nb', 'a\r\nb'], ['a\rb', 'a\nb', 'a\r\nb'],
    ['a\r\r\nb\n', 'a\n\nb\n', 'a\r\n\r\nb\r\n'], ['\n\r', '\n\n', '\r\n\r\n'], ['', '', ''],
  ];
  for (const [file, text, saved] of cases) {
    const bytes = Buffer.from(file, 'latin1');
    assert.equal(textFromDocumentBytes(bytes), text, JSON.stringify(file));
    assert.equal(Buffer.from(documentBytesFromText(text)).toString('latin1'), saved, JSON.stringify(file));
  }
  assert.equal(latin1Input('A\u2192B \u00e9\u{1F600}'), 'A?B \u00e9??');
  assert.equal(withExtension('proof.txt', '.tex'), 'proof.tex');
  assert.equal(withExtension('notes', '.tex'), 'notes.tex');
});

test('the line length is read as the desktop reads it', () => {
  const table = [
    ['21', 21, true], ['250', 250, true], ['20', 79, false], ['251', 79, false], ['0', 79, false],
    ['-5', 79, false], ['', 79, false], ['80x', 80, true], ['  100', 100, true], ['abc', 79, false],
    ['$FA', 250, true], ['+30', 30, true], ['$fa', 250, true], ['99999999999999999', 79, false],
  ];
  for (const [text, width, inRange] of table) assert.deepEqual(lineWidthFromText(text), { width, inRange }, JSON.stringify(text));
  assert.equal(readLineLength('-5'), -5);
});

test('menu keys match the events of their keys only', () => {
  const event = (code, key, mods = {}) => ({ code, key, ctrlKey: false, altKey: false, shiftKey: false, metaKey: false, ...mods });
  assert.ok(matchesKey(event('F8', 'F8'), parseKey('F8')));
  assert.ok(!matchesKey(event('F8', 'F8', { shiftKey: true }), parseKey('F8')));
  assert.ok(matchesKey(event('F9', 'F9', { ctrlKey: true, shiftKey: true }), parseKey('Ctrl+Shift+F9')));
  assert.ok(matchesKey(event('KeyT', 'T', { altKey: true, shiftKey: true }), parseKey('Alt+Shift+T')));
  assert.ok(matchesKey(event('KeyT', '\u2020', { altKey: true }), parseKey('Alt+T')));
  assert.ok(!matchesKey(event('KeyT', 't', { ctrlKey: true }), parseKey('Alt+T')));
  // No two items of the Formula menu share a key, and none is a key the browser keeps.
  const keys = formulaCommands().map((c) => c.key);
  assert.equal(new Set(keys).size, keys.length);
  for (const reserved of ['Ctrl+N', 'Ctrl+T', 'Ctrl+W', 'Ctrl+Shift+T', 'Ctrl+Shift+Q', 'Ctrl+Shift+N', 'Ctrl+Shift+W']) {
    assert.ok(!keys.includes(reserved), reserved);
  }
  assert.deepEqual(kFormulaMenu.filter((e) => e.submenu).map((e) => e.submenu), ['Conversion', 'Normal forms', 'Minimum forms']);
});

test('a manual example\'s options and commands, and its link', () => {
  assert.deepEqual(parseExampleCli('--details 3 --no-results --width 40 cnf mincnf'),
    { options: { details: 3, results: false, width: 40 }, commands: ['cnf', 'mincnf'] });
  assert.deepEqual(exampleFromHash(exampleHash('A|B&C\n(x)', '--details 1 cnf')), { text: 'A|B&C\n(x)', cli: '--details 1 cnf' });
  assert.equal(exampleFromHash('#help'), null);
});

test('the truth table is read back from lumenark-cli\'s text, also where lines wrap', () => {
  const cases = [
    ['(A>B)&A>B', 4, 77], ['(A>B)&A>B', 0, 77], ['(A>B)&(B>C)&(C>D)>(A>D)', 0, 30], ['A|B&~C|D=E', 1, 21], ['A', 4, 77],
  ];
  for (const [formula, details, width] of cases) {
    const text = cli(['--details', String(details), '--width', String(width), 'truthtable'], formula).stdout.toString('latin1');
    const table = parseTruthTable(text);
    assert.ok(table, `${formula} at width ${width}`);
    const letters = new Set(formula.match(/[A-Za-z]/g)).size;
    assert.equal(table.letters, letters);
    assert.equal(table.rows.length, 2 ** letters);
    // The letters count up in binary, and the last column is the formula's value there.
    table.rows.forEach((row, r) => {
      const bits = row.slice(0, letters).join('');
      assert.equal(parseInt(bits, 2), r);
    });
    const model = cli(['model'], formula).stdout.toString('latin1');
    const satisfiable = /Model:/.test(model);
    assert.equal(table.rows.some((row) => row[row.length - 1] === 1), satisfiable, formula);
  }
});
