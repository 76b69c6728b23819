// The browser module beside native lumenark-cli on the same documents, whole commands:
// lumenark-cli as a process (its start included, some 7 ms), the module's run() with the
// module already loaded, under node and in a Chromium Worker. Each time is the median of
// five runs, taken side by side in one run of this table; memory is lumenark-cli's peak
// resident size and the module's memory after the command in a fresh instance (a
// module's memory only grows, so that is its peak). Then the module's size, gzipped.
//
//   node bench/web_table.mjs LUMENARK-CLI MODULE-DIR

import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import zlib from 'node:zlib';
import { withModuleWorker } from '../tests/web/module/browser.mjs';

const [cli, moduleDir] = process.argv.slice(2).map((p) => path.resolve(p));
const kRuns = 5;
const L = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz';

const chain = (n, op, distinct = 26) => Array.from({ length: n }, (_, i) => L[i % distinct]).join(op);
const pairs = (n, inner, outer) => Array.from({ length: n }, (_, i) => `(${L[i]}${inner}${L[26 + i]})`).join(outer);
// A random 3-CNF (mulberry32 numbers, seeded).
function random3Cnf(letters, clauses, seed) {
  let a = seed >>> 0;
  const next = () => {
    a = (a + 0x6d2b79f5) | 0;
    let t = Math.imul(a ^ (a >>> 15), 1 | a);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  return Array.from({ length: clauses }, () =>
    `(${[0, 1, 2].map(() => (next() < 0.5 ? '~' : '') + L[Math.floor(next() * letters)]).join('|')})`).join('&');
}
function pigeonhole(holes) {
  const pigeons = holes + 1;
  const sits = (p, h) => L[p * holes + h];
  const clauses = [];
  for (let p = 0; p < pigeons; ++p) clauses.push(`(${Array.from({ length: holes }, (_, h) => sits(p, h)).join('|')})`);
  for (let h = 0; h < holes; ++h) {
    for (let p = 0; p < pigeons; ++p) for (let q = p + 1; q < pigeons; ++q) clauses.push(`(~${sits(p, h)}|~${sits(q, h)})`);
  }
  return clauses.join('&');
}
const distributiveLaw = (n) => `A|${L.slice(1, n).split('').join('&')}=(${L.slice(1, n).split('').map((x) => `(A|${x})`).join('&')})`;

// name, document, lumenark-cli's options and commands
const workloads = [
  ['compile, decompile: a chain of 1,000,000 characters', chain(500000, '&'), ['--width', '250', 'compile', 'decompile']],
  ['literals: a chain of 750,000 implications', chain(750000, '>'), ['compile', 'literals']],
  ['cnf: (A&a)|...|(N&n), 16,384 clauses', pairs(14, '&', '|'), ['cnf']],
  ['mincnf: (A&a)|...|(N&n)', pairs(14, '&', '|'), ['mincnf']],
  ['dnf, Details 1: (A|a)&...&(J|j), 10 MB of steps', pairs(10, '|', '&'), ['--details', '1', 'dnf']],
  ['truthtable: A=B=...=T, 20 letters', chain(20, '='), ['truthtable']],
  ['minimumcnf: (A|a)&...&(J|j)', pairs(10, '|', '&'), ['minimumcnf']],
  ['decision: pigeonhole 7 in 6 (solver)', pigeonhole(6), ['decision']],
  ['model, countermodel: a random 3-CNF of 40 letters', random3Cnf(40, 170, 7), ['model', 'countermodel']],
  ['tableau, Details 1: a distributive law of 12 letters', distributiveLaw(12), ['--details', '1', 'tableau']],
  ['equivalence: two chains of 52 equivalences', `${L.split('').join('=')}\n${L.split('').reverse().join('=')}`, ['equivalence']],
  ['dimacs: (A&a)|...|(N&n), a Tseitin encoding', pairs(14, '&', '|'), ['dimacs']],
];

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

// The wall time around the process; its peak from /usr/bin/time.
function nativeRun(text, args) {
  const times = [];
  let peak = 0;
  let out = null;
  const peakFile = path.join(os.tmpdir(), `lumenark-web-bench-${process.pid}.time`);
  for (let i = 0; i < kRuns; ++i) {
    const started = performance.now();
    const r = spawnSync('/usr/bin/time', ['-q', '-f', '%M', '-o', peakFile, cli, '--memory-limit', '1G', ...args],
                        { input: Buffer.from(text, 'latin1'), maxBuffer: 1 << 30 });
    times.push(performance.now() - started);
    peak = Math.max(peak, Number(fs.readFileSync(peakFile, 'utf8').trim().split('\n').at(-1)) * 1024);
    out = r.stdout.toString('latin1');
  }
  fs.rmSync(peakFile, { force: true });
  return { ms: median(times), bytes: peak, out };
}

// In the module, as run() takes lumenark-cli's arguments.
function runOptions(args) {
  const options = { details: 4, width: 77 };
  const commands = [];
  for (let i = 0; i < args.length; ++i) {
    if (args[i] === '--details') options.details = Number(args[++i]);
    else if (args[i] === '--width') options.width = Number(args[++i]);
    else commands.push(args[i]);
  }
  return { options, commands };
}

// Runs in node here and, as its source, in the Worker of the browser tests.
async function moduleRun(createLumenark, text, args, runs) {
  const { options, commands } = runOptions(args);
  const fresh = await createLumenark();
  fresh.run(text, commands, options);
  const bytes = fresh.core.HEAPU8.byteLength;
  const times = [];
  let document = '';
  for (let i = 0; i < runs; ++i) {
    const started = performance.now();
    document = fresh.run(text, commands, options).document;
    times.push(performance.now() - started);
  }
  times.sort((a, b) => a - b);
  return { ms: times[Math.floor(runs / 2)], bytes, document };
}

function megabytes(bytes) { return `${(bytes / 1048576).toFixed(0)} MB`; }
function milliseconds(ms) { return ms < 10 ? ms.toFixed(1) : ms.toFixed(0); }

const createLumenark = (await import(pathToFileURL(path.join(moduleDir, 'lumenark-engine.mjs')).href)).default;
const rows = [];
for (const [name, text, args] of workloads) {
  const native = nativeRun(text, args);
  const node = await moduleRun(createLumenark, text, args, kRuns);
  rows.push({ name, text, args, native, node, same: node.document === native.out });
}
await withModuleWorker(moduleDir, async ({ call }) => {
  await call('create', {});
  for (const row of rows) {
    const { options, commands } = runOptions(row.args);
    row.chromium = await call('timed', row.text, commands, options, kRuns);
    row.same = row.same && row.chromium.length === row.native.out.length;
  }
});

console.log('Workload | native lumenark-cli | module, node 20 | module, Chromium Worker | same text');
console.log('---|---|---|---|---');
for (const r of rows) {
  const ratio = (ms) => `${(ms / r.native.ms).toFixed(2)}x`;
  console.log(`${r.name} | ${milliseconds(r.native.ms)} ms, ${megabytes(r.native.bytes)} | ` +
              `${milliseconds(r.node.ms)} ms (${ratio(r.node.ms)}), ${megabytes(r.node.bytes)} | ` +
              `${milliseconds(r.chromium.ms)} ms (${ratio(r.chromium.ms)}), ${megabytes(r.chromium.bytes)} | ` +
              `${r.same ? 'yes' : 'NO'}`);
}
const gz = (file) => zlib.gzipSync(fs.readFileSync(path.join(moduleDir, file)), { level: 9 }).length;
const wasm = gz('lumenark-engine.wasm');
const js = gz('lumenark-engine.mjs');
console.log(`\nThe module gzipped: ${(wasm / 1024).toFixed(0)} KiB wasm + ${(js / 1024).toFixed(0)} KiB js = ` +
            `${((wasm + js) / 1048576).toFixed(2)} MiB`);
