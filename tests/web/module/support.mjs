// What the module's tests share: where the module and the expectations are, the module's
// answers in lumenark-cli's terms, and the window sequence of a case.

import fs from 'node:fs';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { runOptionsOf } from './corpus.mjs';

export const moduleDir = path.resolve(process.env.LUMENARK_WEB_MODULE || 'build/web');
export const modulePath = path.join(moduleDir, 'lumenark-engine.mjs');

// A test of the module where none was built is skipped (ctest's SKIP_RETURN_CODE).
if (!fs.existsSync(modulePath)) {
  console.log(`# ${modulePath} is missing: build it with scripts/build-web ${moduleDir}`);
  process.exit(77);
}

export function loadExpectations() {
  const file = process.env.LUMENARK_WEB_EXPECTED;
  if (!file) throw new Error('LUMENARK_WEB_EXPECTED names the file expect.mjs wrote');
  return JSON.parse(fs.readFileSync(file, 'latin1'));
}

export async function loadModule() {
  return (await import(pathToFileURL(modulePath).href)).default;
}

// lumenark-cli's standard error for the module's messages: each message and a line break.
export function standardError(messages) {
  return messages.map((m) => `${m}\n`).join('');
}

// The case run as lumenark-cli runs it, in lumenark-cli's terms.
export function runCase(engine, c) {
  const { options, commands } = runOptionsOf(c.args);
  if (c.dimacs !== undefined) {
    options.dimacs = c.dimacs;
    options.dimacsName = options.dimacsFile;
  }
  const r = engine.run(c.text, commands, options);
  return { out: r.document, err: standardError(r.messages), status: r.status };
}

// The text as a window's editor holds it: every line break "\n".
export function editorText(text) {
  return text.replace(/\r\n|\r/g, '\n');
}

function firstTwoLines(text) {
  const first = text.indexOf('\n');
  const second = first < 0 ? -1 : text.indexOf('\n', first + 1);
  return second < 0 ? text.length : second;
}

export function applyChanges(text, changes) {
  for (const c of changes) text = text.slice(0, c.from) + c.insert + text.slice(c.to);
  return text;
}

// The case's window sequence: compile the whole text, then (unless the compile showed a
// message) the command on the tree, its selection where the compile left it (the first
// two lines for Equivalence, as lumenark-cli takes them). Returns lumenark-cli's terms
// and the last answer.
export function runWindowCase(engine, c) {
  const doc = engine.openDocument({ details: c.details });
  try {
    let text = editorText(c.text);
    const messages = [];
    let answer = doc.command('compile', { text, selectionStart: 0, selectionEnd: text.length });
    text = applyChanges(text, answer.changes);
    messages.push(...answer.messages);
    if (answer.messages.length === 0 && c.window !== 'compile') {
      const equivalence = c.window === 'equivalence';
      answer = doc.command(c.window, {
        text,
        selectionStart: equivalence ? 0 : answer.selectionStart,
        selectionEnd: equivalence ? firstTwoLines(text) : answer.selectionEnd,
      });
      text = applyChanges(text, answer.changes);
      messages.push(...answer.messages);
    }
    return { out: text, err: standardError(messages), status: messages.length > 0 ? 1 : 0, answer };
  } finally {
    doc.close();
  }
}

// The cases whose answers differ from the expectations, each with the first difference.
export function differences(cases, expected, answer) {
  const found = [];
  for (const c of cases) {
    const want = expected[c.id];
    const got = answer(c);
    for (const part of ['out', 'err', 'status']) {
      if (got[part] !== want[part]) {
        found.push(`${c.id}: ${part} ${JSON.stringify(got[part]).slice(0, 300)} instead of ${JSON.stringify(want[part]).slice(0, 300)}`);
        break;
      }
    }
  }
  return found;
}
