// The module under node where a command does not simply finish: Stop (the page's flag,
// a time limit, a stop at the first look at every command), the memory budget at every
// command, formulas deeper than the browser's stack (the engine's depth limit, and a
// frame that runs off the stack all the same), and the rest of the API's contract:
// snapshots of trees, characters above U+00FF, options, progress.

import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import test from 'node:test';
import { applyChanges, commandNames, editorText, standardError } from './cases.mjs';
import { loadModule } from './support.mjs';

const createLumenark = await loadModule();
const cli = process.env.LUMENARK_CLI;

const kLongTableau = '(A=B=C=D=E=F=G=H=I=J=K=L=M=N=O=P=Q=R)=(R=Q=P=O=N=M=L=K=J=I=H=G=F=E=D=C=B=A)';
const kLimitLine = (size) =>
  `The limit is ${size}, as set; set another with LUMENARK_MEMORY_LIMIT or lumenark-cli --memory-limit.`;
const kDepthMessage = /^Too deep for the browser's stack: the command reached \d+ levels of nesting\.$/;

// What lumenark-cli writes for the document and arguments.
function runCli(text, args) {
  const r = spawnSync(cli, ['--memory-limit', '1G', ...args], { input: Buffer.from(text, 'latin1'), maxBuffer: 1 << 30 });
  return { out: r.stdout.toString('latin1'), err: r.stderr.toString('latin1'), status: r.status };
}

function chain(letters, op = '&', distinct = 26) {
  return Array.from({ length: letters }, (_, i) => 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'[i % distinct]).join(op);
}

// Each command, stopped at the first look at pending input: the batch ends with the
// stop line and status 4; a normal form has no tree left; the next command runs whole.
test('a stop at every command', async () => {
  const engine = await createLumenark();
  const text = '(A|B)&(~A|B)&(A=C)\n~(A&B)\n';
  for (const command of commandNames) {
    const stopped = engine.run(text, [command], { details: 1, stopAfterLooks: 1 });
    const whole = engine.run(text, [command], { details: 1 });
    if (stopped.status === 4) {
      assert.equal(stopped.messages.at(-1), 'Stopped by the Stop button.', command);
    } else {
      // A command that never looks at pending input cannot be stopped: it ran whole.
      assert.deepEqual(stopped, whole, command);
    }
    const doc = engine.openDocument({ details: 1 });
    const editor = editorText(text);
    const out = doc.command(command, { text: editor, selectionStart: 0, selectionEnd: editor.indexOf('\n'),
                                       stopAfterLooks: 1 });
    assert.ok(out.status === 4 || out.status === 0 || out.status === 1, command);
    const after = doc.command('decompile', { text: applyChanges(editor, out.changes), selectionStart: 0, selectionEnd: 0 });
    assert.equal(after.status, 0, command);
    doc.close();
  }
  assert.equal(engine.run('A|B&C', ['cnf']).document, 'A|B&C\n(A|B)&(A|C)\n');
});

test('the stop flag, the time limit and progress', async () => {
  const stopSignal = new Int32Array(new SharedArrayBuffer(4));
  const progress = [];
  const engine = await createLumenark({
    stopSignal,
    onProgress(p) {
      if (progress.length === 0) stopSignal[0] = 1;
      progress.push(p);
    },
  });
  const stopped = engine.run(kLongTableau, ['tableau'], { details: 1 });
  assert.equal(stopped.status, 4);
  assert.deepEqual(stopped.messages, ['Stopped by the Stop button.']);
  assert.equal(stopped.document, `${kLongTableau}\n`);
  assert.ok(progress.length >= 1);
  assert.ok(progress[0].elapsedMs >= 0 && progress[0].memoryInUse > 0 && progress[0].memoryLimit === 1024 ** 3);
  assert.equal(stopSignal[0], 0, 'the engine takes the click');

  const quiet = await createLumenark();
  const timed = quiet.run(kLongTableau, ['tableau'], { details: 1, timeLimit: 1 });
  const expected = runCli(kLongTableau, ['--time-limit', '1', '--details', '1', 'tableau']);
  assert.deepEqual({ out: timed.document, err: standardError(timed.messages), status: timed.status }, expected);
});

// Formulas that each command needs more than 8 MiB for (a few reach it through the
// document itself): "Insuficient memory." with the limit line, status 1, the document
// as the command left it; the next command runs, and the same failure again leaves the
// memory in use as the first did (nothing kept from it).
test('memory failure at every command', async () => {
  const engine = await createLumenark({ memoryLimit: '8M' });
  const letters = Array.from({ length: 20 }, (_, i) => `(${'ABCDEFGHIJKLMNOPQRST'[i]}|${'abcdefghijklmnopqrst'[i]})`).join('&');
  const big = chain(400000, '|');
  const cnf = letters.replace(/&/g, '%').replace(/\|/g, '&').replace(/%/g, '|');
  const large = {
    compile: big, tree: big, latex: big, kmap: big, dimacs: big, tableau: big, evaluate: big,
    conjunctions: chain(300000, '='), implications: chain(300000, '='), disjunctions: chain(300000, '='),
    literals: chain(300000, '='), cnf, dnf: letters, mincnf: cnf, mindnf: letters, decision: letters,
    truthtable: chain(20, '|'), model: chain(60000, '='), countermodel: chain(60000, '='),
    minimumdnf: chain(20, '='), minimumcnf: chain(20, '='),
    equivalence: `${chain(60000, '=')}\n${chain(60000, '=')}`,
  };
  // Compiled within the budget, printed past it.
  const printed = chain(200000, '|');
  const runs = (command) => command === 'decompile'
    ? engine.run(printed, ['compile', 'decompile'], { width: 21 })
    : engine.run(large[command], [command], { details: 1 });
  for (const command of commandNames) {
    const r = runs(command);
    const inUse = engine.memoryInUse();
    assert.equal(r.status, 1, command);
    assert.equal(r.messages.length, 1, command);
    const [first, ...rest] = r.messages[0].split('\n');
    assert.equal(first, 'Insuficient memory.', command);
    // The limit line; a command that knows more (Decision's verdict) says it below.
    assert.ok(rest[0].endsWith(kLimitLine('8 MiB')), command);
    assert.ok(r.document.length > 0, command);
    assert.equal(engine.run('A|B&C', ['cnf']).document, 'A|B&C\n(A|B)&(A|C)\n');
    assert.deepEqual(runs(command), r, command);
    assert.equal(engine.memoryInUse(), inUse, `${command}: memory kept`);
  }
});

// A chain of 20,000 letters (eight, repeating, so that its truth table stays small), as
// deep as it is long: every command writes what lumenark-cli writes, or ends with the
// depth message, the text and the tree as they were; the next command runs.
test('a chain of 20,000 letters', async (t) => {
  if (!cli) return t.skip('LUMENARK_CLI names lumenark-cli');
  const engine = await createLumenark();
  const text = chain(20000, '&', 8);
  for (const command of commandNames) {
    const r = engine.run(text, ['compile', command], { details: 4 });
    if (r.status === 1 && kDepthMessage.test(r.messages[0] ?? '')) {
      assert.equal(r.document, `${text}\n`, command);
    } else {
      const expected = runCli(text, ['compile', command]);
      assert.deepEqual({ out: r.document, err: standardError(r.messages), status: r.status }, expected, command);
    }
    const doc = engine.openDocument();
    const editor = text;
    const compiled = doc.command('compile', { text: editor, selectionStart: 0, selectionEnd: editor.length });
    const before = doc.saveTree();
    const compiledText = applyChanges(editor, compiled.changes);
    const out = doc.command(command, { text: compiledText, selectionStart: compiled.selectionStart,
                                       selectionEnd: compiled.selectionEnd });
    if (out.status === 1 && kDepthMessage.test(out.messages[0] ?? '')) {
      assert.deepEqual(out.changes, [], command);
      assert.deepEqual(doc.saveTree(), before, `${command}: the tree as it was`);
    }
    assert.equal(doc.command('decompile', { text: '', selectionStart: 0 }).status, 0, command);
    doc.close();
  }
  assert.equal(engine.recoveries, 0, 'the depth limit held');
});

// Without the engine's limit, a frame runs off node's stack: the instance is replaced,
// the command answers with the depth message, every open document keeps its tree and
// the text, and the engine goes on.
test('a frame that runs off the stack', async () => {
  const engine = await createLumenark({ depthLimit: 1e9 });
  const other = engine.openDocument();
  other.command('compile', { text: '(A>B)&~C', selectionStart: 0, selectionEnd: 8 });
  const otherTree = other.saveTree();
  const text = chain(60000, '|');
  const r = engine.run(text, ['compile', 'mindnf']);
  assert.equal(engine.recoveries, 1);
  assert.equal(r.status, 1);
  assert.match(r.messages[0], kDepthMessage);
  assert.equal(r.document, `${text}\n`, 'the text before the command');

  const doc = engine.openDocument();
  const compiled = doc.command('compile', { text, selectionStart: 0, selectionEnd: text.length });
  const before = doc.saveTree();
  const out = doc.command('mindnf', { text: applyChanges(text, compiled.changes), selectionStart: text.length + 1 });
  assert.equal(engine.recoveries, 2);
  assert.match(out.messages[0], kDepthMessage);
  assert.deepEqual(out.changes, []);
  assert.deepEqual(doc.saveTree(), before);
  assert.deepEqual(other.saveTree(), otherTree);
  assert.equal(engine.run('A|B&C', ['cnf']).document, 'A|B&C\n(A|B)&(A|C)\n');
});

test('trees saved and loaded, in a fresh engine too', async () => {
  const engine = await createLumenark();
  const doc = engine.openDocument({ details: 4 });
  assert.equal(doc.saveTree(), null);
  doc.command('compile', { text: '~(A=b)>(1|~C&D)', selectionStart: 0, selectionEnd: 15 });
  const bytes = doc.saveTree();
  const fresh = await createLumenark();
  const copy = fresh.openDocument();
  copy.loadTree(bytes);
  assert.equal(copy.hasTree, true);
  const out = copy.command('decompile', { text: '', selectionStart: 0 });
  assert.deepEqual(out.changes, [{ from: 0, to: 0, insert: '~(A=b)>1|~C&D\n' }]);
  assert.throws(() => copy.loadTree(Uint8Array.from([1, 2, 3])), TypeError);
  assert.throws(() => copy.loadTree(bytes.slice(0, bytes.length - 1)), TypeError);
  assert.equal(copy.hasTree, true, 'a malformed snapshot leaves the tree');
  copy.loadTree(null);
  assert.equal(copy.hasTree, false);
  copy.close();
  assert.throws(() => copy.command('decompile', {}), TypeError);
});

test('characters above U+00FF, options and names', async () => {
  const engine = await createLumenark();
  const r = engine.run('A\u20acB\nnote \u00e9 \u20ac', ['compile']);
  assert.deepEqual(r, { document: 'A\u20acB\nnote \u00e9 \u20ac', messages: ['Illegal character.'], status: 1 });
  const doc = engine.openDocument();
  const out = doc.command('compile', { text: 'x\n\u20ac|A', selectionStart: 2, selectionEnd: 5 });
  assert.deepEqual([out.messages, out.selectionStart], [['Illegal character.'], 2]);
  assert.throws(() => engine.run('A', ['frobnicate']), TypeError);
  assert.throws(() => engine.run('A', ['compile'], { details: 5 }), RangeError);
  assert.throws(() => doc.command('frobnicate', { text: 'A' }), TypeError);
  await assert.rejects(createLumenark({ memoryLimit: 'lots' }), TypeError);
  assert.equal(engine.version, '1.0.0');
  const latex = engine.latexDocument('A|B\nnotes');
  assert.match(latex.tex, /\\begin\{document\}/);
  assert.deepEqual(latex.messages, []);
});
