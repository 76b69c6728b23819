// The web workbench's figures, side by side in one run (not a test; prints a table):
//   - the page ready for typing, from navigation to the caret in the first document;
//   - each command on the same documents in the page against native lumenark-cli:
//     the engine's time in the Worker, and the time until the text is in the editor,
//     each as a ratio to lumenark-cli's whole run (median of three);
//   - scrolling a 17-letter truth table: the frames' gaps while the editor scrolls;
//   - Stop: from the click to the end of the command, with the stop flag (an isolated
//     page) and by a fresh Worker (a page served without isolation headers);
//   - the site's size, gzipped.
//
//   node bench/web_page.mjs [SITE_DIR] [LUMENARK_CLI]

import { spawnSync } from 'node:child_process';
import { readFile, readdir } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';
import { fileURLToPath } from 'node:url';
import { startServer } from '../web/serve.mjs';

const repository = fileURLToPath(new URL('..', import.meta.url));
const site = process.argv[2] ?? join(repository, 'build', 'web');
const cliPath = process.argv[3] ?? join(repository, 'build', 'bin', 'lumenark-cli');
const { chromium } = createRequire(join(repository, 'web', 'package.json'))('playwright-core');

const letters = (n) => 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'.slice(0, n).split('');
// A 3-CNF of n clauses over n letters, each clause three neighbours round a ring.
const ringCnf = (n) => letters(n).map((l, i, a) => `(${l}|${a[(i + 1) % n]}|~${a[(i + 3) % n]})`).join('&');
// n terms of four literals over m letters, from a fixed pseudo-random sequence.
function randomDnf(m, n) {
  let seed = 12345;
  const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const terms = [];
  for (let t = 0; t < n; t++) {
    const chosen = new Set();
    while (chosen.size < 4) chosen.add(letters(m)[Math.floor(next() * m)]);
    terms.push([...chosen].map((l) => (next() < 0.5 ? '~' : '') + l).join('&'));
  }
  return terms.join('|');
}
const kWorkloads = [
  { name: 'Decision, ring 3-CNF of 12 clauses', text: ringCnf(12), command: 'decision', key: 'F8' },
  { name: 'Minimal DNF, ring 3-CNF of 12 clauses', text: ringCnf(12), command: 'mindnf', key: 'Shift+F8' },
  { name: 'Disjunctive, ring 3-CNF of 13 clauses', text: ringCnf(13), command: 'dnf', key: 'Shift+F7' },
  { name: 'Truth Table, 18 letters (19 MB)', text: letters(18).join('|'), command: 'truthtable', key: 'Alt+Shift+T' },
  { name: 'Minimum DNF, 45 terms over 18 letters', text: randomDnf(18, 45), command: 'minimumdnf', key: 'Shift+F5' },
  { name: 'Tableau, negated ring 3-CNF of 20 clauses', text: `~(${ringCnf(20)})`, command: 'tableau', key: 'Control+Shift+B' },
  { name: 'Compile "A" (lumenark-cli\'s start-up)', text: 'A', command: 'compile', key: 'Control+F9' },
];

function median(values) {
  const sorted = [...values].sort((a, b) => a - b);
  return sorted[Math.floor(sorted.length / 2)];
}

function nativeMs(text, command) {
  const times = [];
  for (let i = 0; i < 3; i++) {
    const start = process.hrtime.bigint();
    spawnSync(cliPath, [command, '-e', text], { maxBuffer: 1 << 30 });
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  return median(times);
}

async function siteSize() {
  let raw = 0, gzipped = 0;
  for (const entry of await readdir(site, { recursive: true, withFileTypes: true })) {
    if (!entry.isFile()) continue;
    const bytes = await readFile(join(entry.parentPath ?? entry.path, entry.name));
    raw += bytes.length;
    gzipped += gzipSync(bytes, { level: 9 }).length;
  }
  return { raw, gzipped };
}

const { server, url } = await startServer({ root: site });
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', headless: true, args: ['--no-sandbox'] });
try {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 } });
  const page = await context.newPage();
  const readies = [];
  for (let i = 0; i < 3; i++) {
    await page.goto(url);
    await page.waitForSelector('body[data-ready="yes"]');
    readies.push(await page.evaluate(() => performance.getEntriesByName('lumenark-ready')[0].startTime));
  }
  await page.waitForSelector('body[data-engine="signal"], body[data-engine="restart"]');
  console.log(`Page ready for typing: ${median(readies).toFixed(0)} ms (median of 3 loads; target 1000 ms)`);
  const size = await siteSize();
  console.log(`Site: ${(size.raw / 1048576).toFixed(2)} MB, ${(size.gzipped / 1048576).toFixed(2)} MB gzipped (target 2 MB)\n`);

  console.log('| Command | lumenark-cli ms | engine ms (ratio) | in the editor ms (ratio) |');
  console.log('|---|---:|---:|---:|');
  for (const w of kWorkloads) {
    const times = [];
    for (let i = 0; i < 3; i++) {
      await page.keyboard.press('Alt+N');
      await page.keyboard.insertText(w.text);
      await page.keyboard.press('Control+A');
      const done = Number(await page.evaluate(() => document.body.dataset.commands ?? 0));
      await page.keyboard.press(w.key);
      await page.waitForFunction((n) => Number(document.body.dataset.commands ?? 0) > n, done, { timeout: 0 });
      times.push(await page.evaluate(() => {
        const a = window.lumenark.bench.lastAnswer;
        return { engine: a.engineMs, shown: a.shownMs };
      }));
      await page.evaluate(() => window.lumenark.bench.active.setModified(false));
      await page.keyboard.press('Alt+W');
    }
    const native = nativeMs(w.text, w.command);
    const engine = median(times.map((t) => t.engine)), shown = median(times.map((t) => t.shown));
    console.log(`| ${w.name} | ${native.toFixed(0)} | ${engine.toFixed(0)} (${(engine / native).toFixed(2)}x) | ${shown.toFixed(0)} (${(shown / native).toFixed(2)}x) |`);
  }

  // A 17-letter truth table, scrolled through at a steady pace: the gaps between frames.
  await page.keyboard.press('Alt+N');
  await page.keyboard.insertText(letters(17).join('|'));
  await page.keyboard.press('Control+A');
  const done = Number(await page.evaluate(() => document.body.dataset.commands ?? 0));
  await page.keyboard.press('Alt+Shift+T');
  await page.waitForFunction((n) => Number(document.body.dataset.commands ?? 0) > n, done, { timeout: 0 });
  const lines = await page.evaluate(() => window.lumenark.bench.active.view.state.doc.lines);
  await page.locator('.document-panel:not([hidden]) .cm-scroller').hover();
  const frames = await page.evaluate(() => new Promise((resolve) => {
    const scroller = document.querySelector('.document-panel:not([hidden]) .cm-scroller');
    const gaps = [];
    let last = performance.now();
    let step = 0;
    function frame(now) {
      gaps.push(now - last);
      last = now;
      scroller.scrollTop += 900;
      if (++step < 300) requestAnimationFrame(frame);
      else resolve(gaps.slice(1));
    }
    requestAnimationFrame(frame);
  }));
  frames.sort((a, b) => a - b);
  const p95 = frames[Math.floor(frames.length * 0.95)], worst = frames[frames.length - 1];
  console.log(`\n17-letter truth table (${lines} lines) scrolled 900 px a frame for 300 frames: median frame ${median(frames).toFixed(1)} ms, 95th percentile ${p95.toFixed(1)} ms, worst ${worst.toFixed(1)} ms`);

  // Stop during a minimum DNF (19 letters, 2.6 s natively), a second in: until the
  // command has ended.
  const plain = await startServer({ root: site, isolation: false });
  try {
    for (const [label, address, workers] of [['stop flag', url, 'allow'], ['fresh Worker', plain.url, 'block']]) {
      const stopContext = await browser.newContext({ serviceWorkers: workers });
      const stopPage = await stopContext.newPage();
      await stopPage.goto(address);
      await stopPage.waitForSelector('body[data-engine="signal"], body[data-engine="restart"]');
      const latencies = [];
      for (let i = 0; i < 3; i++) {
        await stopPage.keyboard.press('Alt+N');
        await stopPage.keyboard.insertText(randomDnf(19, 48));
        await stopPage.keyboard.press('Control+A');
        await stopPage.keyboard.press('Shift+F5');
        await stopPage.waitForFunction(() => parseFloat(document.querySelector('.running-bar .elapsed')?.textContent) >= 1, null, { timeout: 0 });
        latencies.push(await stopPage.evaluate(() => new Promise((resolve) => {
          const count = Number(document.body.dataset.commands ?? 0);
          const start = performance.now();
          new MutationObserver((changes, observer) => {
            if (Number(document.body.dataset.commands ?? 0) > count) {
              observer.disconnect();
              resolve(performance.now() - start);
            }
          }).observe(document.body, { attributes: true });
          document.querySelector('.running-bar button.stop').click();
        })));
        await stopPage.evaluate(() => window.lumenark.bench.active.setModified(false));
        await stopPage.keyboard.press('Alt+W');
      }
      console.log(`Stop (${label}, ${await stopPage.evaluate(() => document.body.dataset.engine)}): ${latencies.map((l) => l.toFixed(0)).join(', ')} ms from the click to the command's end (target 500 ms)`);
      await stopContext.close();
    }
  } finally {
    plain.server.close();
  }
} finally {
  await browser.close();
  server.close();
}
