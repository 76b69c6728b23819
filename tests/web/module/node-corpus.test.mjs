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
