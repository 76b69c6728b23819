// What lumenark-cli writes for every case of the corpus, as the module's tests compare
// it: node expect.mjs LUMENARK-CLI OUT.json. Runs as many processes at once as there
// are cores. The memory limit is the module's default, set, so that a limit line would
// read the same.

import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { corpusCases, corpusDir } from './corpus.mjs';

const [cliArgument, outFile] = process.argv.slice(2);
const cli = cliArgument && path.resolve(cliArgument);
if (!cli || !outFile) {
  console.error('usage: node expect.mjs LUMENARK-CLI OUT.json');
  process.exit(2);
}

function runCli(c) {
  return new Promise((resolve, reject) => {
    const child = spawn(cli, ['--memory-limit', '1G', ...c.args], { cwd: path.join(corpusDir, 'dimacs') });
    const out = [], err = [];
    child.stdout.on('data', (d) => out.push(d));
    child.stderr.on('data', (d) => err.push(d));
    child.on('error', reject);
    child.on('close', (status) => resolve({
      out: Buffer.concat(out).toString('latin1'), err: Buffer.concat(err).toString('latin1'), status }));
    child.stdin.on('error', () => {});
    child.stdin.end(Buffer.from(c.text, 'latin1'));
  });
}

const cases = corpusCases();
const expected = {};
let next = 0;
async function worker() {
  while (next < cases.length) {
    const c = cases[next++];
    expected[c.id] = await runCli(c);
  }
}
await Promise.all(Array.from({ length: Math.max(1, os.availableParallelism?.() ?? os.cpus().length) }, worker));
fs.mkdirSync(path.dirname(outFile), { recursive: true });
fs.writeFileSync(outFile, JSON.stringify(expected));
console.log(`${cases.length} cases of lumenark-cli in ${outFile}`);
