// The shared corpus (tests/corpus/) as cases for lumenark-cli and the module: every
// command at Details 0 to 4 after a compile (as a window runs it), every command alone
// (the document selected whole), CR LF output, the LaTeX export, other options, the
// manual's batches and the DIMACS files.

import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { commandNames } from './cases.mjs';

export const corpusDir = fileURLToPath(new URL('../../corpus/', import.meta.url));

// A document's bytes as a string of Latin-1 code points.
function readDocument(file) {
  return fs.readFileSync(file).toString('latin1');
}

export function corpusDocuments() {
  const dir = path.join(corpusDir, 'documents');
  return fs.readdirSync(dir).filter((f) => f.endsWith('.txt')).sort()
    .map((f) => ({ name: f.slice(0, -4), text: readDocument(path.join(dir, f)) }));
}

function documentNamed(name) {
  for (const dir of ['documents', 'batch-documents']) {
    const file = path.join(corpusDir, dir, `${name}.txt`);
    if (fs.existsSync(file)) return readDocument(file);
  }
  throw new Error(`no corpus document ${name}`);
}

// Every case: { id, text, args } (args without the document); window cases also have
// window: the command that follows the compile in a window, and details.
export function corpusCases() {
  const cases = [];
  for (const doc of corpusDocuments()) {
    for (let details = 0; details <= 4; ++details) {
      for (const command of commandNames) {
        const commands = command === 'compile' ? ['compile'] : ['compile', command];
        cases.push({ id: `${doc.name} --details ${details} ${commands.join(' ')}`, text: doc.text,
                     args: ['--details', String(details), ...commands],
                     // A window's Tree reads its selection, which is empty after the
                     // compile; the batch's later Tree draws the current tree.
                     window: command === 'tree' ? undefined : command, details });
      }
    }
    for (const command of commandNames) {
      cases.push({ id: `${doc.name} ${command}`, text: doc.text, args: [command] });
    }
    cases.push({ id: `${doc.name} --crlf`, text: doc.text, args: ['--crlf', '--details', '1', 'compile', 'dnf'] });
    cases.push({ id: `${doc.name} --latex`, text: doc.text, args: ['--latex', '--details', '1', 'compile', 'truthtable', 'latex'] });
    cases.push({ id: `${doc.name} --no-results --width 30`, text: doc.text,
                 args: ['--no-results', '--width', '30', '--details', '2', 'compile', 'cnf'] });
  }
  for (const line of fs.readFileSync(path.join(corpusDir, 'batches.txt'), 'latin1').split('\n')) {
    if (line.trim() === '') continue;
    const [name, ...args] = line.split(' ');
    cases.push({ id: `batch ${line}`, text: documentNamed(name), args });
  }
  const dimacsDir = path.join(corpusDir, 'dimacs');
  for (const file of fs.readdirSync(dimacsDir).sort()) {
    const dimacs = fs.readFileSync(path.join(dimacsDir, file)).toString('latin1');
    cases.push({ id: `dimacs ${file}`, text: '', dimacs, args: ['--dimacs', file] });
    cases.push({ id: `dimacs ${file} decision`, text: '', dimacs, args: ['--dimacs', file, '--details', '1', 'decision'] });
  }
  return cases;
}
