// The pictures, as a user sees them: the Karnaugh map's loops, each group in a colour of
// its own, and the tableau's branches, closed ones with a red cross and the open one in
// green. Screenshots of the pictures are looked at by their pixels' colours.

import { test, after, before } from 'node:test';
import assert from 'node:assert/strict';
import { pressCommandKey, siteWithPage, typeAndSelect } from './harness.mjs';
import { countColour, readPng } from './png.mjs';

const kRed = [214, 39, 40], kBlue = [31, 119, 180], kGreen = [44, 160, 44];

let site, page;

before(async () => {
  ({ site, page } = await siteWithPage({ viewport: { width: 1280, height: 900 } }));
});

after(async () => site?.close());

async function run(text, key) {
  await typeAndSelect(page, text);
  await pressCommandKey(page, key);
}

test('the Karnaugh map draws each group as a loop in a colour of its own', async () => {
  // Three groups: A&B, ~A&C and ~B&~C.
  await run('A&B|~A&C|~B&~C', 'F5');
  const picture = page.getByRole('img', { name: 'Karnaugh map' });
  await picture.waitFor();
  assert.equal(await picture.locator('g.loop').count(), 3);
  const image = readPng(await picture.screenshot());
  for (const colour of [kRed, kBlue, kGreen]) {
    assert.ok(countColour(image, colour) > 100, `the loop colour ${colour} is drawn`);
  }
  // The picture can be saved as an SVG file.
  const [download] = await Promise.all([page.waitForEvent('download'), page.getByRole('button', { name: 'Save' }).click()]);
  assert.match(download.suggestedFilename(), /\.svg$/);
});

test('the tableau is a tree whose closed branches are crossed in red and whose open branch is green', async () => {
  // The tableau of a formula that is not valid: branches close, one stays open.
  await run('(A>B)&(A|C)>B|D', 'Control+Shift+B');
  const picture = page.getByRole('img', { name: 'Tableau' });
  await picture.waitFor();
  const image = readPng(await picture.screenshot());
  assert.ok(countColour(image, [198, 40, 40], 30) > 20, 'a closed branch is marked in red');
  assert.ok(countColour(image, [46, 125, 50], 30) > 20, 'the open branch is marked in green');
});
