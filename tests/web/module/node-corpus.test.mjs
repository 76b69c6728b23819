// The module under node against lumenark-cli on the whole corpus: run() on every case,
// and the window sequence (compile, then the command on the tree) on every command at
// Details 0 to 4, byte for byte: document, messages and status.

import assert from 'node:assert/strict';
import test from 'node:test';
import { corpusCases } from './corpus.mjs';
import { runCase, runWindowCase } from './cases.mjs';
import { differences, loadExpectations, loadModule } from './support.mjs';

const createLumenark = await loadModule();
const expected = loadExpectations();
const cases = corpusCases();

test('run() writes what lumenark-cli writes', async () => {
  const engine = await createLumenark();
  const found = differences(cases, expected, (c) => runCase(engine, c));
  assert.deepEqual(found.slice(0, 20), [], `${found.length} of ${cases.length} cases differ`);
});

test('a window writes what lumenark-cli writes for compile and a command', async () => {
  const engine = await createLumenark();
  const windowCases = cases.filter((c) => c.window !== undefined);
  const found = differences(windowCases, expected, (c) => runWindowCase(engine, c));
  assert.deepEqual(found.slice(0, 20), [], `${found.length} of ${windowCases.length} cases differ`);
});

// Text crosses as Latin-1 whatever bytes it holds: ASCII, the upper half with and without
// the bytes 0x80-0x9F (which a windows-1252 decoder would misread), and characters above
// U+00FF. A line that is no formula leaves the document as it came.
test('every character comes back as it went in', async () => {
  const engine = await createLumenark();
  const range = (from, to) => Array.from({ length: to - from + 1 }, (_, i) => String.fromCharCode(from + i)).join('');
  const notes = [range(0x20, 0x7e), range(0xa0, 0xff), range(0x80, 0x9f) + range(0xa0, 0xff), 'caf\u00e9 \u20ac \u03bb'];
  for (const note of notes) {
    for (const text of [`A&B\n${note}`, `A&B\n${note.repeat(5000)}`]) {
      const r = engine.run(text, ['compile']);
      assert.equal(r.status, 1);
      assert.ok(r.document === text, JSON.stringify(note));
    }
  }
});
