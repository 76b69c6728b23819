// Every Formula command, run as a user runs it (the formula typed, selected, the
// command's key or its menu item), at every Details level: the document saved with
// Ctrl+S is byte for byte what lumenark-cli --crlf writes for the same text and command.

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { formulaCommands, kFormulaMenu } from '../../../web/site/src/formula-commands.js';
import {
  chooseMenu, cli, commandsDone, launch, openWorkbench, saveByKey, typeAndSelect, waitForCommands,
} from './harness.mjs';

const kFormula = '(A|B)&(~A|C)>B|C';
const kTwoFormulas = 'A>B\n~A|B';
const kDetailCaptions = ['Comment + evaluations', 'Step by step + comment', 'Step by step only', 'Macrosteps', 'Nothing'];

let site, page;

before(async () => {
  site = await launch();
  const context = await site.browser.newContext({ viewport: { width: 1200, height: 800 } });
  page = await openWorkbench(context, site.url);
});

after(async () => site?.close());

// The key as playwright presses it.
function pressable(key) { return key.replace('Ctrl+', 'Control+'); }

async function setDetails(level) {
  await page.keyboard.press('Alt+T');
  const panel = page.getByRole('form', { name: 'Format' });
  await panel.getByRole('radio', { name: kDetailCaptions[level], exact: true }).check();
  await panel.getByRole('button', { name: 'OK' }).click();
  await page.waitForSelector('form.options-panel[hidden]', { state: 'attached' });
}

async function runInNewDocument(item, text, level, how) {
  await page.keyboard.press('Alt+N');
  await page.waitForSelector('[role="tab"][aria-selected="true"]');
  await setDetails(level);
  await typeAndSelect(page, text);
  const before = await commandsDone(page);
  if (how === 'key') await page.keyboard.press(pressable(item.key));
  else await chooseMenu(page, item.path);
  await waitForCommands(page, before + 1);
  // A message box, if the command showed one, is closed as a user closes it.
  while (await page.locator('dialog[open]').count()) await page.locator('dialog[open] button').first().click();
  const saved = await saveByKey(page);
  await page.keyboard.press('Alt+W');
  return saved;
}

test('every command by its key and by the menu, at every Details level, saves what lumenark-cli writes', async () => {
  const items = [];
  for (const entry of kFormulaMenu) {
    if (entry.submenu) for (const sub of entry.items) items.push({ ...sub, path: ['Formula', entry.submenu, sub.caption] });
    else if (entry.command) items.push({ ...entry, path: ['Formula', entry.caption] });
  }
  assert.equal(items.length, formulaCommands().length);
  // Close the first visit's empty document, so that each run has a fresh one.
  await page.keyboard.press('Alt+W');
  for (const item of items) {
    const text = item.command === 'equivalence' ? kTwoFormulas : kFormula;
    for (let level = 0; level <= 4; level++) {
      const expected = cli(['--crlf', '--details', String(level), item.command], text).stdout;
      const ways = item.bound === false ? ['menu'] : ['key', 'menu'];
      for (const how of ways) {
        const saved = await runInNewDocument(item, text, level, how);
        assert.equal(saved.name, 'Untitled.txt');
        assert.ok(saved.bytes.equals(expected),
          `${item.caption} by ${how} at Details ${level}:\n--- page\n${saved.bytes.toString('latin1')}\n--- lumenark-cli\n${expected.toString('latin1')}`);
      }
    }
  }
  assert.deepEqual(page.errors ?? [], []);
});
