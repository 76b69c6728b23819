// Stop and Escape end a long command, and the document is whole afterwards: on a host
// that sends the headers of cross-origin isolation (the engine reads a shared stop flag)
// and on one that sends none, without the service worker that would add them (the
// engine's Worker is ended and a fresh one takes over, the trees restored).

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { commandsDone, documentText, launch, openWorkbench, pressCommandKey, typeAndSelect, waitForCommands } from './harness.mjs';

const kLetters = 'ABCDEFGHIJKLMNOPQRST';
// A truth table of 20 letters: 2^20 rows.
const kTwentyLetters = kLetters.match(/../g).map((pair) => `${pair[0]}&~${pair[1]}`).join('|');
// A minimisation that takes long (a second natively): the exact minimum DNF of 45 terms
// of four literals over 18 letters, drawn from a fixed pseudo-random sequence.
function longMinimisation(n = 18, terms = 45) {
  const letters = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ'.slice(0, n);
  let seed = 12345;
  const next = () => (seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648;
  const result = [];
  for (let t = 0; t < terms; t++) {
    const chosen = new Set();
    while (chosen.size < 4) chosen.add(letters[Math.floor(next() * n)]);
    result.push([...chosen].map((l) => (next() < 0.5 ? '~' : '') + l).join('&'));
  }
  return result.join('|');
}
const kLongMinimisation = longMinimisation();


async function stopDuring(page, formula, key, how) {
  await typeAndSelect(page, formula);
  const done = await commandsDone(page);
  await page.keyboard.press(key);
  await page.waitForSelector('.running-bar:not([hidden])');
  if (how === 'Escape') await page.keyboard.press('Escape');
  else await page.getByRole('button', { name: 'Stop' }).click();
  await waitForCommands(page, done + 1);
  const after = await documentText(page);
  assert.ok(after.startsWith(formula), 'the formula is still there');
  // The page answers: the text takes typing again, and the engine the next command (in a
  // new document: a stopped truth table may have left megabytes in this one).
  await page.keyboard.press('Control+End');
  await page.keyboard.insertText('!');
  assert.equal(await page.evaluate(() => window.lumenark.bench.active.view.state.doc.length), after.length + 1);
  await page.keyboard.press('Alt+W');
  const prompt = page.getByRole('dialog', { name: 'Confirm' });
  assert.equal(await prompt.locator('.message-text').textContent(), "Save Changes to 'Untitled'?");
  await prompt.getByRole('button', { name: 'No' }).click();
  await page.keyboard.press('Alt+N');
  await typeAndSelect(page, 'A|~A');
  await pressCommandKey(page, 'F8');
  assert.match(await documentText(page), /A\|~A\n.*valid/s);
  return after;
}

for (const isolation of [true, false]) {
  test(`Stop and Escape on a host ${isolation ? 'with' : 'without'} cross-origin isolation`, async (t) => {
    const site = await launch({ isolation });
    try {
      const context = await site.browser.newContext({ serviceWorkers: isolation ? 'allow' : 'block' });
      const page = await openWorkbench(context, site.url);
      const engine = await page.evaluate(() => document.body.dataset.engine);
      assert.equal(engine, isolation ? 'signal' : 'restart');
      for (const [formula, key, how] of [[kTwentyLetters, 'Alt+Shift+T', 'Escape'], [kLongMinimisation, 'Shift+F5', 'Stop']]) {
        const after = await stopDuring(page, formula, key, how);
        if (!isolation) assert.equal(after, formula, 'a restarted engine wrote nothing');
      }
      assert.deepEqual(page.errors ?? [], []);
    } finally {
      await site.close();
    }
  });
}
