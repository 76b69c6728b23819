// Every Formula command, run as a user runs it (the formula typed, selected, the
// command's key or its menu item), at every Details level: the document saved with
// Ctrl+S is byte for byte what lumenark-cli --crlf writes for the same text and command.

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { formulaCommands, kFormulaMenu } from '../../../web/site/src/formula-commands.js';
import {
  chooseMenu, cli, cliLater, closeMessages, commandsDone, siteWithPage, saveByKey, typeAndSelect, waitForCommands,
} from './harness.mjs';

const kFormula = '(A|B)&(~A|C)>B|C';
const kTwoFormulas = 'A>B\n~A|B';
const kDetailCaptions = ['Comment + evaluations', 'Step by step + comment', 'Step by step only', 'Macrosteps', 'Nothing'];

let site, page;

before(async () => {
  ({ site, page } = await siteWithPage({ viewport: { width: 1200, height: 800 } }));
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

// Runs the command on the text, typed and selected, and saves the document.
async function runAndSave(item, text, how) {
  await typeAndSelect(page, text);
  const before = await commandsDone(page);
  if (how === 'key') await page.keyboard.press(pressable(item.key));
  else await chooseMenu(page, item.path);
  await waitForCommands(page, before + 1);
  await closeMessages(page, before + 1);
  return saveByKey(page);
}

test('every command by its key and by the menu, at every Details level, saves what lumenark-cli writes', async () => {
  const items = [];
  for (const entry of kFormulaMenu) {
    if (entry.submenu) for (const sub of entry.items) items.push({ ...sub, path: ['Formula', entry.submenu, sub.caption] });
    else if (entry.command) items.push({ ...entry, path: ['Formula', entry.caption] });
  }
  assert.equal(items.length, formulaCommands().length);
  // Decompile prints the tree the document has, and lumenark-cli starts with none: it
  // runs first in each fresh document, the other commands compile their selection.
  items.sort((a, b) => (b.command === 'decompile') - (a.command === 'decompile'));
  await page.keyboard.press('Alt+W');
  // lumenark-cli's answers, worked out beside the browser.
  const expected = new Map();
  for (let level = 0; level <= 4; level++) {
    for (const item of items) {
      const text = item.command === 'equivalence' ? kTwoFormulas : kFormula;
      expected.set(`${item.command} ${level}`, cliLater(['--crlf', '--details', String(level), item.command], text));
    }
  }
  for (let level = 0; level <= 4; level++) {
    await page.keyboard.press('Alt+N');
    await page.waitForSelector('[role="tab"][aria-selected="true"]');
    await setDetails(level);
    for (const item of items) {
      const text = item.command === 'equivalence' ? kTwoFormulas : kFormula;
      const want = (await expected.get(`${item.command} ${level}`)).stdout;
      // By its key at every level; by the menu at every level for an item without a key of
      // its own, and at one level each (in turn) for the others, so that every item is
      // also chosen from the menu.
      const byMenu = item.bound === false || (item.command !== 'decompile' && items.indexOf(item) % 5 === level);
      const ways = [...(item.bound === false ? [] : ['key']), ...(byMenu ? ['menu'] : [])];
      for (const how of ways) {
        const saved = await runAndSave(item, text, how).catch(async (error) => {
          // What the page was doing, for a failure that a busy machine may bring out.
          const state = await page.evaluate(() => ({
            status: document.querySelector('.status-bar')?.textContent, focus: document.activeElement?.outerHTML.slice(0, 120),
            dialogs: [...document.querySelectorAll('dialog[open]')].map((d) => d.textContent), data: { ...document.body.dataset },
          }));
          throw new Error(`${item.caption} by ${how} at Details ${level}: ${error.message}\n${JSON.stringify(state)}`);
        });
        assert.equal(saved.name, 'Untitled.txt');
        assert.ok(saved.bytes.equals(want),
          `${item.caption} by ${how} at Details ${level}:\n--- page\n${saved.bytes.toString('latin1')}\n--- lumenark-cli\n${want.toString('latin1')}`);
      }
    }
    await page.keyboard.press('Alt+W');
  }
  assert.deepEqual(page.errors ?? [], []);
});

test('Decompile by the menu prints the tree the document has', async () => {
  await page.keyboard.press('Alt+N');
  await page.waitForSelector('[role="tab"][aria-selected="true"]');
  const item = formulaCommands().find((c) => c.command === 'decompile');
  const saved = await runAndSave({ ...item, path: ['Formula', 'Decompile'] }, kFormula, 'menu');
  assert.ok(saved.bytes.equals(cli(['--crlf', 'decompile'], kFormula).stdout));
  // With a tree, the selection is replaced by the printed formula.
  const compiled = await runAndSave(formulaCommands().find((c) => c.command === 'compile'), kFormula, 'key');
  assert.ok(compiled.bytes.equals(cli(['--crlf', 'compile'], kFormula).stdout));
  const again = await runAndSave({ ...item, path: ['Formula', 'Decompile'] }, 'B', 'menu');
  const printed = cli(['--crlf', 'compile', 'decompile'], kFormula).stdout.subarray(compiled.bytes.length);
  assert.equal(again.bytes.toString('latin1'), printed.toString('latin1'));
});
