// The workbench as a user works it: the menu bar by role and by keyboard alone, one Undo
// taking a command's whole output back, the options panel and its message, the manual
// with an example run in a new document, a phone's width, and no request to any server
// but the site's own.

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { spawnSync } from 'node:child_process';
import {
  chooseMenu, cli, cliPath, commandsDone, documentText, launch, openWorkbench, pressCommandKey, repository, saveByKey,
  typeAndSelect, waitForCommands,
} from './harness.mjs';

let site, context, page;
const foreign = [];

before(async () => {
  site = await launch();
  context = await site.browser.newContext({ viewport: { width: 1200, height: 800 } });
  context.on('request', (request) => {
    const url = new URL(request.url());
    if (!['blob:', 'data:'].includes(url.protocol) && url.origin !== new URL(site.url).origin) foreign.push(request.url());
  });
  page = await openWorkbench(context, site.url);
});

after(async () => site?.close());

const text = () => documentText(page);

test('a new user types (A>B)&A>B, selects it, presses F8 and Ctrl+S: the verdict is at the caret, the file the desktop\'s', async () => {
  await page.keyboard.press('Alt+N');
  await page.keyboard.type('(A>B)&A>B');
  await page.keyboard.press('Shift+Home');
  await pressCommandKey(page, 'F8');
  const expected = cli(['--crlf', 'decision'], '(A>B)&A>B').stdout;
  assert.equal(await text(), expected.toString('latin1').replace(/\r\n/g, '\n'));
  const caret = await page.evaluate(() => window.lumenark.bench.active.selection);
  assert.deepEqual(caret, { anchor: expected.length - 2, head: expected.length - 2 }, 'the caret is after the verdict');
  const saved = await saveByKey(page);
  assert.ok(saved.bytes.equals(expected));
  await page.keyboard.press('Alt+W');
});

test('the menu bar has "Formula" and "Truth Table" by role, and runs a command by keyboard alone', async () => {
  const bar = page.getByRole('menubar');
  assert.equal(await bar.getByRole('menuitem', { name: 'Formula', exact: true }).count(), 1);
  await typeAndSelect(page, 'A|B');
  const done = await commandsDone(page);
  // F10 reaches the menu bar; Right three times from File is Formula; Down opens it;
  // a letter goes to the next item that starts with it: Tree, then Truth Table.
  await page.keyboard.press('F10');
  for (let i = 0; i < 3; i++) await page.keyboard.press('ArrowRight');
  await page.keyboard.press('ArrowDown');
  const menu = page.getByRole('menu', { name: 'Formula' });
  assert.equal(await menu.getByRole('menuitem', { name: 'Truth Table', exact: true }).count(), 1);
  await page.keyboard.press('t');
  await page.keyboard.press('t');
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), 'Truth Table');
  await page.keyboard.press('Enter');
  await waitForCommands(page, done + 1);
  assert.equal(await text(), cli(['truthtable'], 'A|B').stdout.toString('latin1'));
  assert.ok(await page.locator('.cm-content').evaluate((node) => node.contains(document.activeElement)), 'the keyboard is back in the text');
  // Conjunctions runs from the menu only (its Ctrl+C is Copy): Right opens the Conversion
  // submenu at its first item.
  await typeAndSelect(page, 'A|B');
  await page.keyboard.press('F10');
  await page.keyboard.press('Home');
  for (const key of ['ArrowRight', 'ArrowRight', 'ArrowRight', 'ArrowDown', 'ArrowRight']) await page.keyboard.press(key);
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-label')), 'Conjunctions');
  const before = await commandsDone(page);
  await page.keyboard.press('Enter');
  await waitForCommands(page, before + 1);
  assert.equal(await text(), cli(['conjunctions'], 'A|B').stdout.toString('latin1'));
});

test('one Undo takes a command\'s whole output back, and Redo brings it again', async () => {
  await typeAndSelect(page, '(A>B)&(B>C)>(A>C)');
  await page.keyboard.press('Alt+T');
  await page.getByRole('radio', { name: 'Comment + evaluations' }).check();
  await page.getByRole('button', { name: 'OK' }).click();
  const before = await text();
  await pressCommandKey(page, 'Control+F8');
  const after = await text();
  assert.ok(after.split('\n').length > 10, 'a derivation of many lines');
  await page.keyboard.press('Control+Z');
  assert.equal(await text(), before);
  await page.keyboard.press('Control+Y');
  assert.equal(await text(), after);
});

test('the options panel keeps each document\'s options and refuses a line length out of range', async () => {
  await page.keyboard.press('Alt+T');
  const panel = page.getByRole('form', { name: 'Format' });
  await panel.getByRole('textbox', { name: 'String length opt.:' }).fill('20');
  await panel.getByRole('checkbox', { name: 'Results' }).uncheck();
  await panel.getByRole('radio', { name: 'Nothing' }).check();
  await panel.getByRole('button', { name: 'OK' }).click();
  const box = page.getByRole('dialog');
  assert.equal(await box.locator('.message-text').textContent(), 'Current line range between 21 and 250.\nDefault value 79 is used.');
  await box.getByRole('button', { name: 'OK' }).click();
  await page.keyboard.press('Alt+T');
  assert.equal(await panel.getByRole('textbox', { name: 'String length opt.:' }).inputValue(), '79');
  assert.equal(await panel.getByRole('checkbox', { name: 'Results' }).isChecked(), false);
  assert.equal(await panel.getByRole('radio', { name: 'Nothing' }).isChecked(), true);
  await panel.getByRole('button', { name: 'OK' }).click();
  // A new document has the defaults.
  await page.keyboard.press('Alt+N');
  await page.keyboard.press('Alt+T');
  assert.equal(await panel.getByRole('textbox', { name: 'String length opt.:' }).inputValue(), '77');
  assert.equal(await panel.getByRole('checkbox', { name: 'Results' }).isChecked(), true);
  await panel.getByRole('button', { name: 'OK' }).click();
});

test('the manual opens with F1, the back button closes it, and an example runs in a new document as the manual shows it', async () => {
  await page.keyboard.press('F1');
  await page.frameLocator('iframe.manual').getByRole('heading', { name: 'Lumenark' }).waitFor();
  await page.evaluate(() => history.back());
  await page.waitForSelector('.side-panel[hidden]', { state: 'attached' });
  await page.keyboard.press('F1');
  const manual = page.frameLocator('iframe.manual');
  await manual.getByRole('link', { name: 'Normal forms and decision' }).first().click();
  const example = manual.locator('pre.example').first();
  await example.waitFor();
  const shown = await example.textContent();
  const tabs = await page.getByRole('tab').count();
  const done = await commandsDone(page);
  await manual.getByRole('link', { name: /^Open this example/ }).first().click();
  await page.waitForFunction((n) => document.querySelectorAll('[role="tab"]').length === n + 1, tabs);
  await waitForCommands(page, done + 1);
  await page.waitForFunction(() => !document.body.dataset.running);
  assert.equal(await text(), shown);
  await page.getByRole('button', { name: 'Close', exact: true }).click();
  await page.waitForSelector('.side-panel[hidden]', { state: 'attached' });
});

test('a file dropped on the text opens as Latin-1, and Save writes it back byte for byte with CR LF', async () => {
  const file = Buffer.from('caf\xe9 A&B\r\nline two\nlast\xff', 'latin1');
  const tabs = await page.getByRole('tab').count();
  await page.locator('.document-panel:not([hidden]) .cm-content').evaluate((node, bytes) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(bytes)], 'notes.txt'));
    node.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, [...file]);
  await page.waitForFunction((n) => document.querySelectorAll('[role="tab"]').length === n + 1, tabs);
  assert.equal(await page.getByRole('tab', { selected: true }).getAttribute('aria-label'), 'notes.txt');
  assert.equal(await text(), 'caf\xe9 A&B\nline two\nlast\xff');
  const saved = await saveByKey(page);
  assert.equal(saved.name, 'notes.txt');
  assert.equal(saved.bytes.toString('latin1'), 'caf\xe9 A&B\r\nline two\r\nlast\xff');
  // Typed characters that Latin-1 lacks come in as '?', one for one.
  await page.keyboard.press('Control+End');
  await page.keyboard.insertText(' \u2192\u00e9');
  assert.equal(await text(), 'caf\xe9 A&B\nline two\nlast\xff ?\u00e9');
});

test('File > Export as LaTeX... downloads the desktop\'s file; Import DIMACS... writes the file\'s CNF as a formula', async () => {
  await page.keyboard.press('Alt+N');
  const document = 'Notes on A&B\n(A>B)&A>B\nThis formula is valid.';
  await page.keyboard.insertText(document);
  const [download] = await Promise.all([page.waitForEvent('download'), chooseMenu(page, ['File', 'Export as LaTeX...'])]);
  assert.equal(download.suggestedFilename(), 'Untitled.tex');
  // Decompile without a tree leaves the document as it is: lumenark-cli exports it whole.
  const tex = cli(['--latex', 'decompile'], document).stdout;
  assert.ok((await readFile(await download.path())).equals(tex), 'the same LaTeX file as the desktop writes');

  await page.keyboard.press('Alt+N');
  const dimacs = 'c two clauses\np cnf 3 2\n1 -2 0\n2 3 0\n';
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), chooseMenu(page, ['File', 'Import DIMACS...'])]);
  await chooser.setFiles({ name: 'two.cnf', mimeType: 'text/plain', buffer: Buffer.from(dimacs) });
  await page.waitForFunction(() => window.lumenark.bench.active.text.length > 0);
  const folder = await mkdtemp(join(tmpdir(), 'lumenark-'));
  await writeFile(join(folder, 'two.cnf'), dimacs);
  const formula = spawnSync(cliPath, ['--dimacs', join(folder, 'two.cnf')], { encoding: 'latin1' }).stdout;
  await rm(folder, { recursive: true });
  assert.match(formula, /^\(A/);
  assert.equal(await text(), formula.replace(/\r?\n$/, ''));
  // A malformed file is a message that names it.
  const [again] = await Promise.all([page.waitForEvent('filechooser'), chooseMenu(page, ['File', 'Import DIMACS...'])]);
  await again.setFiles({ name: 'bad.cnf', mimeType: 'text/plain', buffer: Buffer.from('p cnf 1 1\nx 0\n') });
  const box = page.getByRole('dialog');
  assert.match(await box.locator('.message-text').textContent(), /^bad\.cnf: /);
  await box.getByRole('button', { name: 'OK' }).click();
});

test('at a phone\'s width the page fits, and nothing asked any other server', async () => {
  await page.setViewportSize({ width: 360, height: 740 });
  const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  const wide = await page.evaluate(() => [...document.querySelectorAll('body *')]
    .filter((e) => e.getBoundingClientRect().right > window.innerWidth + 1 && !e.closest('.tab-list, .cm-scroller'))
    .map((e) => `${e.tagName}.${e.className}`).slice(0, 8).join(', '));
  assert.ok(overflow <= 0, `the page is ${overflow} pixels wider than the screen: ${wide}`);
  await page.getByRole('menubar').getByRole('menuitem', { name: 'Formula', exact: true }).click();
  const menu = await page.getByRole('menu', { name: 'Formula' }).boundingBox();
  assert.ok(menu.x >= 0 && menu.x + menu.width <= 360, 'the Formula menu is within the screen');
  await page.keyboard.press('Escape');
  assert.deepEqual(foreign, []);
  assert.deepEqual(page.errors ?? [], []);
  const source = await readFile(join(repository, 'web', 'site', 'index.html'), 'utf8');
  assert.doesNotMatch(source, /https?:\/\//, 'the page names no other server');
});
