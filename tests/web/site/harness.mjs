// What the browser tests of the page share: the built site served on 127.0.0.1, Debian's
// chromium driven headless by playwright-core, and the steps of a user (type, select, run
// a command by its key or through the menu, save). Everything waits for events: a
// selector, an attribute the page sets when something has happened, a download.

import { execFile, spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import { readFile } from 'node:fs/promises';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { startServer } from '../../../web/serve.mjs';

const here = dirname(fileURLToPath(import.meta.url));
export const repository = join(here, '..', '..', '..');
export const siteDir = process.env.LUMENARK_WEB_DIR ?? join(repository, 'build', 'web');
export const cliPath = process.env.LUMENARK_CLI ?? join(repository, 'build', 'bin', 'lumenark-cli');
// The web's one npm project (web/package.json) holds playwright-core; only the browser
// tests load it.
const chromium = () => createRequire(join(repository, 'web', 'package.json'))('playwright-core').chromium;

// The site served here, or (LUMENARK_SITE_URL) one served elsewhere, e.g. on a static host.
export async function launch({ isolation = true } = {}) {
  const elsewhere = process.env.LUMENARK_SITE_URL;
  const { server, url } = elsewhere ? { server: null, url: elsewhere } : await startServer({ root: siteDir, isolation });
  const browser = await chromium().launch({
    executablePath: process.env.LUMENARK_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-dev-shm-usage'],
  });
  return {
    url, browser,
    async close() {
      await browser.close();
      if (server) await new Promise((r) => server.close(r));
    },
  };
}

// A page of the workbench, ready for typing. The waits are long: they are a bound on a
// machine that other work keeps busy, not a measure of the page.
export async function openWorkbench(context, url, { engine = true } = {}) {
  context.setDefaultTimeout(180000);
  const page = await context.newPage();
  page.on('pageerror', (error) => { page.errors ??= []; page.errors.push(error); });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="yes"]');
  if (engine) await page.waitForSelector('body[data-engine="signal"], body[data-engine="restart"]');
  return page;
}

// A served site, a browser and one page of the workbench in a context of its own.
export async function siteWithPage({ viewport = { width: 1200, height: 800 }, engine = true } = {}) {
  const site = await launch();
  const context = await site.browser.newContext({ viewport });
  const page = await openWorkbench(context, site.url, { engine });
  return { site, context, page };
}

export function editor(page) { return page.locator('.document-panel:not([hidden]) .cm-content'); }

// Replaces the active document's text by typing it, then selects it whole. Each step
// waits until the editor has it: the text deleted, the typed text read in whole (a
// browser may hand it over in more than one change), the selection over all of it.
export async function typeAndSelect(page, text) {
  const content = editor(page);
  if (!(await content.evaluate((node) => node.contains(document.activeElement)))) await content.focus();
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Delete');
  await page.waitForFunction(() => window.lumenark.bench.active.text === '');
  await page.keyboard.insertText(text);
  await page.waitForFunction((typed) => window.lumenark.bench.active.text === typed, text);
  await page.keyboard.press('Control+A');
  await page.waitForFunction(() => {
    const { state } = window.lumenark.bench.active.view;
    return state.selection.main.from === 0 && state.selection.main.to === state.doc.length;
  });
}

// Closes, as a user does, each message box the command that ended as the count-th shows,
// until it has shown them all (a box may open only after the one before has closed).
export async function closeMessages(page, count) {
  const settled = () => page.evaluate(() => Number(document.body.dataset.settled ?? 0));
  while (await settled() < count) {
    await page.waitForFunction((n) => document.querySelector('dialog[open]') || Number(document.body.dataset.settled ?? 0) >= n, count);
    const button = page.locator('dialog[open] button').first();
    if (await button.count()) await button.click();
  }
}

// The number of commands the page has finished so far.
export async function commandsDone(page) {
  return Number(await page.evaluate(() => document.body.dataset.commands ?? 0));
}

export async function waitForCommands(page, count) {
  await page.waitForFunction((n) => Number(document.body.dataset.commands ?? 0) >= n, count);
}

// Presses a command's key and waits until the command has ended.
export async function pressCommandKey(page, key) {
  const done = await commandsDone(page);
  await page.keyboard.press(key);
  await waitForCommands(page, done + 1);
}

// The active document's whole text.
export function documentText(page) {
  return page.evaluate(() => window.lumenark.bench.active.text);
}

// Clicks through the menu bar: "Formula", then each caption of the path.
export async function chooseMenu(page, path) {
  const [top, ...rest] = path;
  await page.getByRole('menubar').getByRole('menuitem', { name: top, exact: true }).click();
  for (const caption of rest) {
    await page.getByRole('menu').last().getByRole('menuitem', { name: caption, exact: true }).click();
  }
}

// Saves the active document with Ctrl+S and gives the downloaded bytes.
export async function saveByKey(page) {
  // No command running and no box open: the page would take the key for neither.
  await page.waitForFunction(() => !document.body.dataset.running && !document.querySelector('dialog[open]'));
  const [download] = await Promise.all([page.waitForEvent('download'), page.keyboard.press('Control+S')]);
  return { name: download.suggestedFilename(), bytes: await readFile(await download.path()) };
}

// What lumenark-cli writes for the text selected whole and the commands; cliLater runs
// it beside the browser and gives a promise of the same.
export function cliLater(args, text) {
  return new Promise((resolve, reject) => {
    execFile(cliPath, [...args, '-e', text], { encoding: 'buffer', maxBuffer: 1 << 30 }, (error, stdout, stderr) => {
      if (error && typeof error.code !== 'number') reject(error);
      else resolve({ stdout, stderr: stderr.toString('latin1'), status: error ? error.code : 0 });
    });
  });
}

export function cli(args, text) {
  const run = spawnSync(cliPath, [...args, '-e', text], { encoding: 'latin1', maxBuffer: 1 << 30 });
  return { stdout: Buffer.from(run.stdout, 'latin1'), stderr: run.stderr, status: run.status };
}
