// The module in headless Chromium, in a module Worker as a page runs it: the whole
// corpus against lumenark-cli (run() and the window sequence), and a chain of 20,000
// letters (eight, repeating) through every command, which must write what lumenark-cli
// writes or end with the depth message, without a frame running off the Worker's stack.
// Then the heaviest recursions measured (the normal forms of chains, of alternating
// operators too) once more with V8's optimising tier from the start, whose frames are
// the largest: the depth limit must hold there as well.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import test from 'node:test';
import { withModuleWorker, loadPlaywright } from './browser.mjs';
import { commandNames, standardError } from './cases.mjs';
import { corpusCases } from './corpus.mjs';
import { loadExpectations, moduleDir } from './support.mjs';

if (!(await loadPlaywright()) || !fs.existsSync('/usr/bin/chromium')) {
  console.log('# playwright-core (npm ci in web/) or /usr/bin/chromium is missing');
  process.exit(77);
}

const expected = loadExpectations();
const cli = process.env.LUMENARK_CLI;
const kDepthMessage = /^Too deep for the browser's stack: the command reached \d+ levels of nesting\.$/;
const kDeepCommands = ['cnf', 'dnf', 'mincnf', 'mindnf', 'decision', 'dimacs'];

function deepChain(length, operators) {
  return Array.from({ length }, (_, i) => 'ABCDEFGH'[i % 8] + operators[i % operators.length]).join('') + 'A';
}

function compare(cases, answers) {
  const found = [];
  cases.forEach((c, i) => {
    const want = expected[c.id];
    for (const part of ['out', 'err', 'status']) {
      if (answers[i][part] !== want[part]) {
        found.push(`${c.id}${c.asWindow ? ' (window)' : ''}: ${part} ${JSON.stringify(answers[i][part]).slice(0, 200)}` +
                   ` instead of ${JSON.stringify(want[part]).slice(0, 200)}`);
        break;
      }
    }
  });
  return found;
}

test('the corpus and a deep chain in a Chromium Worker', async () => {
  await withModuleWorker(moduleDir, async ({ call }) => {
    assert.equal(await call('create', {}), '1.0.0');
    const cases = corpusCases();
    const all = [...cases, ...cases.filter((c) => c.window !== undefined).map((c) => ({ ...c, asWindow: true }))];
    const found = [];
    let started = Date.now();
    for (let i = 0; i < all.length; i += 1000) {
      const part = all.slice(i, i + 1000);
      found.push(...compare(part, await call('runCases', part)));
    }
    assert.deepEqual(found.slice(0, 20), [], `${found.length} of ${all.length} cases differ`);
    console.log(`# ${all.length} cases in ${Date.now() - started} ms`);
    started = Date.now();

    // Text crosses as Latin-1 whatever it holds; a browser's decoders read 0x80-0x9F as
    // windows-1252 does.
    const range = (from, to) => Array.from({ length: to - from + 1 }, (_, i) => String.fromCharCode(from + i)).join('');
    const notes = [range(0x20, 0x7e), range(0xa0, 0xff), range(0x80, 0xff), 'caf\u00e9 \u20ac \u03bb'];
    const texts = notes.flatMap((note) => [`A&B\n${note}`, `A&B\n${note.repeat(5000)}`]);
    assert.deepEqual(await call('comesBack', texts), texts.map(() => true));

    const chain = deepChain(19999, ['&']);
    for (const command of commandNames) {
      const commands = command === 'compile' ? ['compile'] : ['compile', command];
      const r = await call('deep', chain, commands, { details: 4 });
      assert.equal(r.recovered, false, `${command}: a frame ran off the stack`);
      if (r.status === 1 && kDepthMessage.test(r.messages[0] ?? '')) {
        assert.equal(r.length, chain.length + 1, command);
      } else if (cli) {
        const native = spawnSync(cli, ['--memory-limit', '1G', ...commands], { input: chain, maxBuffer: 1 << 30 });
        assert.deepEqual({ length: r.length, err: standardError(r.messages), status: r.status },
                         { length: native.stdout.length, err: native.stderr.toString('latin1'), status: native.status },
                         command);
      }
    }
    console.log(`# the deep chain in ${Date.now() - started} ms`);
  });
});

test('the heaviest recursions with the optimising tier from the start', async () => {
  await withModuleWorker(moduleDir, async ({ call }) => {
    await call('create', {});
    for (const operators of [['&'], ['|'], ['|', '&', '>']]) {
      const chain = deepChain(8000, operators);
      for (const command of kDeepCommands) {
        const r = await call('deep', chain, ['compile', command], { details: 4 });
        assert.equal(r.recovered, false, `${operators.join('')} ${command}: a frame ran off the stack`);
      }
    }
  }, ['--js-flags=--no-liftoff']);
});
